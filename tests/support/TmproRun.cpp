#include "support/TmproRun.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/Tool.h"

namespace tw::test {

TmproResult runTmpro(const std::vector<std::string>& args, const std::string& input) {
    ::setenv("LC_ALL", "C", 1);
    std::vector<std::string> words{"tmpro"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    std::istringstream in(input);
    std::ostringstream out, err;
    TmproResult result;
    result.code = cli::runTool(static_cast<int>(words.size()), argv.data(), in, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    m_path = std::filesystem::temp_directory_path() /
             ("tmpro-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void expectFailure(const TmproResult& result, int code, const std::string& words) {
    EXPECT_EQ(result.code, code) << result.err;
    EXPECT_EQ(result.err.rfind("tmpro: ", 0), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_NE(result.err.find(words), std::string::npos) << result.err;
}

void TmproTest::SetUp() {
    const std::string pw = std::string(kPassword) + "\n";
    ASSERT_EQ(runTmpro({"create", m_wallet, "--hint", "my hint"}, pw + pw).code, 0);
    ASSERT_EQ(run({"mkdir", m_wallet, "Banking"}).code, 0);
}

void TmproTest::addCard(const std::string& folder, const std::string& form, const std::string& name,
                        const std::vector<std::string>& more) {
    std::vector<std::string> args{"add", m_wallet, folder, "--form", form, "--name", name};
    args.insert(args.end(), more.begin(), more.end());
    const TmproResult r = run(args);
    ASSERT_EQ(r.code, 0) << r.err;
}

}  // namespace tw::test
