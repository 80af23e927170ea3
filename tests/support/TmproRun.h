#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tw::test {

// What one run of tmpro gave.
struct TmproResult {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs tmpro in this process, as `tmpro ARGS...`, with `input` as its standard input (passwords
// one per line). Dates and times follow the "C" locale, whose patterns are the tool's defaults
// (M/d/yyyy, h:mm:ss tt).
TmproResult runTmpro(const std::vector<std::string>& args, const std::string& input = "");

// A new, empty folder under the system's temporary folder, removed with everything in it when
// the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// The whole content of a file; empty when it cannot be read.
std::string fileBytes(const std::string& path);

// Checks a failed run: the exit code, and one line on the error stream, "tmpro: ..." holding
// `words`.
void expectFailure(const TmproResult& result, int code, const std::string& words);

// A new wallet "test.tm5" with the password kPassword (hint "my hint") and a folder "Banking",
// in a temporary folder.
class TmproTest : public ::testing::Test {
protected:
    static constexpr const char* kPassword = "secret-pw";

    void SetUp() override;
    // Runs a command with the wallet's password as the only input line.
    TmproResult run(const std::vector<std::string>& args) { return runTmpro(args, std::string(kPassword) + "\n"); }
    // Adds a card; fails the test when that does not work.
    void addCard(const std::string& folder, const std::string& form, const std::string& name,
                 const std::vector<std::string>& more = {});

    TempFolder m_folder;
    std::string m_wallet = m_folder.file("test.tm5");
};

}  // namespace tw::test
