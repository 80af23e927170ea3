#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "cli/Tool.h"
#include "platform/Env.h"
#include "platform/PosixFile.h"
#include "platform/Text.h"
#include "samples/Samples.h"
#include "storage/WalletFile.h"
#include "support/TmproRun.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

// tmpro with its arguments; `input` holds the passwords, one per line.
test::TmproResult tmpro(const std::vector<std::string>& args, const std::string& input = "secret\n") {
    return test::runTmpro(args, input);
}

std::vector<std::uint8_t> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) found.push_back(entry.path());
    return found;
}

class FormCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / ("tmpro-forms-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        wallet = (dir / "wallet.tm5").string();
        // Without a first folder the forms folder is the only top-level record, whatever the language.
        ASSERT_EQ(tmpro({"create", wallet, "--no-first-folder"}, "secret\nsecret\n").code, 0);
        sample = dir / "Form Sample.tmx";
        writeBytes(sample, samples::formSample());
    }
    void TearDown() override { fs::remove_all(dir); }

    // The cards under the top-level folder at `folderPath`, read with the core.
    std::size_t cardsUnder(const std::string& folderName) {
        PosixFileSystem files;
        SystemClock clock;
        OsRandom random;
        StringTable strings;
        ScriptedPrompt prompt;
        HostSystem system;
        Env env{files, clock, random, strings, prompt, system};
        WalletFile w(env);
        EXPECT_EQ(w.readAll(wallet, u"secret", true), OpenResult::Ok);
        std::size_t cards = 0;
        for (std::size_t i = 0; i < w.index().count(); ++i) {
            const std::int64_t parent = w.index().parentOf(static_cast<std::int64_t>(i));
            if (w.index().at(i).type() == RecordType::Card && parent >= 0 &&
                w.nameOf(static_cast<std::size_t>(parent)) == fromUtf8(folderName))
                ++cards;
        }
        return cards;
    }

    fs::path dir;
    std::string wallet;
    fs::path sample;
};

TEST_F(FormCommandsTest, FormTravelsThroughImportFormFormsAndExportForm) {
    const std::vector<std::uint8_t> untouched = readBytes(wallet);
    test::TmproResult r = tmpro({"import-form", wallet, sample.string()});
    EXPECT_EQ(r.code, 8) << "no terminal and no --yes: declined";
    EXPECT_EQ(readBytes(wallet), untouched);

    r = tmpro({"--yes", "import-form", wallet, sample.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Web Account"), std::string::npos) << r.out;
    EXPECT_TRUE(std::regex_search(r.out, std::regex(R"( \d{1,2}/\d{1,2}/\d{4}\n)"))) << "the locale's date: " << r.out;

    r = tmpro({"forms", wallet});
    ASSERT_EQ(r.code, 0) << r.err;
    std::istringstream lines(r.out);
    std::vector<std::string> names;
    std::string line;
    bool custom = false;
    while (std::getline(lines, line)) {
        names.push_back(line.substr(0, 32));
        if (line.rfind("Web Account", 0) == 0) custom = line.find("custom") != std::string::npos;
    }
    EXPECT_EQ(names.size(), 44u) << "43 built-in forms and one custom form";
    EXPECT_TRUE(custom) << r.out;
    EXPECT_NE(r.out.find("number 500, index 0"), std::string::npos);
    EXPECT_NE(r.out.find("number 511, index 40"), std::string::npos);

    const fs::path out = dir / "out" / "forms";
    r = tmpro({"export-form", wallet, "Web Account", "--out", out.string(), "--author", "Jane"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::vector<fs::path> exported = filesIn(out);
    ASSERT_EQ(exported.size(), 1u);
    EXPECT_EQ(exported[0].filename().string().rfind("Web Account_", 0), 0u);
    EXPECT_EQ(exported[0].extension(), ".tmx");

    const std::string second = (dir / "second.tm5").string();
    ASSERT_EQ(tmpro({"create", second}, "other\nother\n").code, 0);
    r = tmpro({"--yes", "import-form", second, exported[0].string()}, "other\n");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Jane"), std::string::npos) << "the question shows the author";
    r = tmpro({"forms", second}, "other\n");
    EXPECT_NE(r.out.find("Web Account"), std::string::npos);
}

TEST_F(FormCommandsTest, ExportFormRefusesWhatIsNotAForm) {
    ASSERT_EQ(tmpro({"--yes", "import-form", wallet, sample.string()}).code, 0);
    EXPECT_EQ(tmpro({"export-form", wallet, "No Such Form", "--out", dir.string()}).code, 5);
    // The forms folder, named in the path that `forms` shows, is not a form itself.
    const test::TmproResult list = tmpro({"forms", wallet});
    const std::size_t path = list.out.find("/Web Account");
    ASSERT_NE(path, std::string::npos) << list.out;
    const std::size_t start = list.out.rfind("  ", path) + 2;
    const std::string formsFolder = list.out.substr(start, path - start);
    EXPECT_EQ(tmpro({"export-form", wallet, formsFolder, "--out", dir.string()}).code, 2) << formsFolder;
    EXPECT_EQ(tmpro({"export-form", wallet}).code, 2);
}

TEST_F(FormCommandsTest, ExportFormWritesIntoTheDocumentsFolderByDefault) {
    ASSERT_EQ(tmpro({"--yes", "import-form", wallet, sample.string()}).code, 0);
    const fs::path documents = dir / "documents";
    ::setenv("XDG_DOCUMENTS_DIR", documents.c_str(), 1);
    const test::TmproResult r = tmpro({"export-form", wallet, "Web Account", "--keep-values"});
    ::unsetenv("XDG_DOCUMENTS_DIR");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(filesIn(documents).size(), 1u);
}

TEST_F(FormCommandsTest, ImportFormRefusesADamagedFile) {
    std::vector<std::uint8_t> bytes = samples::formSample();
    bytes[64] = 2;  // version
    const fs::path bad = dir / "bad.tmx";
    writeBytes(bad, bytes);
    const std::vector<std::uint8_t> untouched = readBytes(wallet);
    const test::TmproResult r = tmpro({"--yes", "import-form", wallet, bad.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("version"), std::string::npos) << r.err;
    EXPECT_EQ(readBytes(wallet), untouched);
}

TEST_F(FormCommandsTest, ImportTakesEveryRowWithYesAndNoneWithoutATerminal) {
    const fs::path table = dir / "Import Sample.txt";
    writeBytes(table, samples::importSample());
    const std::vector<std::uint8_t> untouched = readBytes(wallet);
    test::TmproResult r = tmpro({"import", wallet, table.string()});
    EXPECT_EQ(r.code, 8);
    EXPECT_EQ(readBytes(wallet), untouched);

    r = tmpro({"--yes", "import", wallet, table.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::size_t at = r.out.find("Folder: ");
    ASSERT_NE(at, std::string::npos) << r.out;
    const std::string folder = r.out.substr(at + 8, r.out.find('\n', at) - at - 8);
    // Named with today's date in the short-date pattern of the locale ("C": M/d/yyyy), whose
    // slashes the printed path writes as "\/".
    const std::string name = std::regex_replace(folder, std::regex(R"(\\/)"), "/");
    EXPECT_TRUE(std::regex_match(name, std::regex(R"(Imported \d{1,2}/\d{1,2}/\d{4})"))) << name;
    EXPECT_EQ(cardsUnder(name), 3u);
    // An imported card is not a form.
    EXPECT_EQ(tmpro({"export-form", wallet, folder + "/Mail", "--out", dir.string()}).code, 2);
}

TEST_F(FormCommandsTest, ImportOfATableThatIsNoCardTableChangesNothing) {
    const fs::path table = dir / "bad.txt";
    writeBytes(table, {'N', 'a', 'm', 'e', '\t', 'U', '\r', '\n', 'B', '\t', 'j', '\r', '\n'});
    const std::vector<std::uint8_t> untouched = readBytes(wallet);
    EXPECT_EQ(tmpro({"--yes", "import", wallet, table.string()}).code, 1);
    EXPECT_EQ(tmpro({"--yes", "import", wallet, (dir / "missing.txt").string()}).code, 1);
    EXPECT_EQ(readBytes(wallet), untouched);
}

TEST_F(FormCommandsTest, EveryCommandHasHelp) {
    for (const char* command : {"forms", "export-form", "import-form", "import"}) {
        const test::TmproResult r = tmpro({"help", command});
        EXPECT_EQ(r.code, 0) << command;
        EXPECT_EQ(r.out.rfind(std::string("Usage: tmpro "), 0), 0u) << command;
        EXPECT_NE(r.out.find(command), std::string::npos);
    }
}

}  // namespace
}  // namespace tw
