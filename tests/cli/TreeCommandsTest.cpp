#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

#include "cli/Session.h"
#include "cli/Tool.h"
#include "model/Card.h"
#include "model/FieldKind.h"
#include "platform/PosixFile.h"
#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"
#include "support/CardFixtures.h"
#include "support/TmproRun.h"
#include "support/TreeFixtures.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A wallet on disk (password "secret"):
//   Personal/  Bank (Account, PIN, an attached file), Empty (no values)
//     a/b/     (a folder whose name holds a slash)
//   My Forms/
// with Bank in the favourites.
class TreeCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tmpro-tree-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        wallet = (dir / "wallet.tm5").string();

        PosixFileSystem files;
        FixedClock clock{SystemTime{2026, 12, 4, 10, 9, 30, 15, 0}};
        SequenceRandom random{7};
        StringTable strings;
        strings.load({{20200, u"Favourites"}, {20203, u"My Forms"}});
        ScriptedPrompt prompt;
        FakeSystem system;
        Env env{files, clock, random, strings, prompt, system};
        ASSERT_EQ(createWallet(env, wallet, u"secret", std::nullopt, false), CreateResult::Ok);
        WalletFile w(env);
        ASSERT_EQ(w.readAll(wallet, u"secret", false), OpenResult::Ok);
        RecordHeader personal = w.newFolder({}, false);
        personal.putName(u"Personal", w.recordKey());
        ASSERT_GE(w.appendFolder(personal), 0);
        std::unique_ptr<Card> bank = w.newCard(personal.id());
        bank->header()->putName(u"Bank", w.recordKey());
        test::addField(*bank, field_kind::kText, u"Account", u"12-345");
        test::addField(*bank, field_kind::kPassword, u"PIN", u"4711");
        bank->file(0).set(test::testBytes(4, 1), u"statement.pdf");
        ASSERT_GE(w.appendCard(*bank), 0);
        std::unique_ptr<Card> empty = w.newCard(personal.id());
        empty->header()->putName(u"Empty", w.recordKey());
        test::addField(*empty, field_kind::kText, u"Nothing", u"");
        ASSERT_GE(w.appendCard(*empty), 0);
        RecordHeader slash = w.newFolder(personal.id(), false);
        slash.putName(u"a/b", w.recordKey());
        ASSERT_GE(w.appendFolder(slash), 0);
        ASSERT_TRUE(w.settings().addFavourite(bank->header()->id(), clock.localTime()));
        ASSERT_EQ(w.flush(), 0);
        w.close();
    }
    void TearDown() override { fs::remove_all(dir); }

    // Opens the wallet for writing, hands it to `change`, and closes it.
    void withWallet(const std::function<void(WalletFile&)>& change) {
        PosixFileSystem files;
        FixedClock clock{SystemTime{2026, 12, 4, 10, 9, 30, 15, 0}};
        SequenceRandom random{8};
        StringTable strings;
        ScriptedPrompt prompt;
        FakeSystem system;
        Env env{files, clock, random, strings, prompt, system};
        WalletFile w(env);
        ASSERT_EQ(w.readAll(wallet, u"secret", false), OpenResult::Ok);
        change(w);
        w.close();
    }

    test::TmproResult run(const std::vector<std::string>& args, const std::string& input = "secret\n") {
        return test::runTmpro(args, input);
    }

    fs::path dir;
    std::string wallet;
};

TEST_F(TreeCommandsTest, TreeShowsTheSortedTreeWithTheSpecialEntries) {
    test::TmproResult r = run({"tree", wallet});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "[Favourites]\n"
              "  Bank\n"
              "Personal/\n"
              "  Bank\n"
              "  Empty\n"
              "  a\\/b/\n"
              "My Forms/\n");

    // With --ids each line starts with the record's identifier and its type; "#" and the
    // identifier (or its first 8 digits) name the record wherever a path is asked for.
    r = run({"tree", wallet, "--ids"});
    ASSERT_EQ(r.code, 0) << r.err;
    std::istringstream lines(r.out);
    std::vector<std::string> ids;
    std::string line;
    while (std::getline(lines, line)) {
        ASSERT_GT(line.size(), 38u) << line;
        ids.push_back(line.substr(0, 32));
    }
    ASSERT_EQ(ids.size(), 7u);
    EXPECT_EQ(ids[0], std::string(32, '-'));  // the favourites entry has no record
    EXPECT_EQ(r.out.substr(33, 18), "100  [Favourites]\n");
    EXPECT_EQ(ids[1], ids[3]);  // Bank, as a favourite and in its folder
    for (std::size_t i = 1; i < ids.size(); ++i)
        EXPECT_EQ(ids[i].find_first_not_of("0123456789abcdef"), std::string::npos) << ids[i];
    EXPECT_NE(r.out.find(ids[2] + "   2  Personal/\n"), std::string::npos) << r.out;
    EXPECT_EQ(run({"ls", wallet, "#" + ids[2]}).out, "Bank\nEmpty\na\\/b/\n");
    EXPECT_EQ(run({"show", wallet, "#" + ids[3].substr(0, 8)}).out.rfind("Name:    Bank\n", 0), 0u);
    const char other = ids[3][8] == '0' ? '1' : '0';
    EXPECT_EQ(run({"show", wallet, "#" + ids[3].substr(0, 8) + other}).code, 5);

    EXPECT_EQ(run({"tree", wallet}, "wrong\n").code, 3);
    EXPECT_EQ(run({"tree"}).code, 2);
}

TEST_F(TreeCommandsTest, LsListsOneFolder) {
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string out;
    };
    const Case cases[] = {
        {{"ls", wallet}, 0, "Personal/\nMy Forms/\n"},
        {{"ls", wallet, "Personal"}, 0, "Bank\nEmpty\na\\/b/\n"},
        {{"ls", wallet, "personal/a\\/b"}, 0, ""},
        {{"ls", wallet, "Personal/Bank"}, 2, ""},
        {{"ls", wallet, "Nowhere"}, 5, ""},
    };
    for (const Case& c : cases) {
        const test::TmproResult r = run(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.back() << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.args.back();
    }
}

// Names go out as appendPrintable writes a path segment, whichever code unit of a name needs an
// escape and wherever it lies; folders end in "/".
TEST_F(TreeCommandsTest, NamesAreWrittenAsPrintableSegments) {
    std::vector<std::u16string> names = {u"",      u"a",         u"ab",  u"abc",       u"abcd",
                                         u"abcde", u"abcdefghi", u"~ !", u"\U0001F600"};
    for (const char16_t odd : {u'/', u'\x7f', u'\x1f', u'\x01', u'\u00e9', u'\u4e2d', u'\xff80'})
        for (std::size_t at = 0; at < 9; ++at) names.push_back(std::u16string(at, u'x') + odd + u"yz");
    std::vector<std::string> expected;
    withWallet([&](WalletFile& w) {
        RecordHeader folder = w.newFolder({}, false);
        folder.putName(u"Names", w.recordKey());
        ASSERT_GE(w.appendFolder(folder), 0);
        for (std::size_t i = 0; i < names.size(); ++i) {
            std::string line;
            cli::appendPrintable(line, names[i], true);
            if (i % 3 == 0) {
                RecordHeader sub = w.newFolder(folder.id(), false);
                sub.putName(names[i], w.recordKey());
                ASSERT_GE(w.appendFolder(sub), 0);
                line += '/';
            } else {
                std::unique_ptr<Card> card = w.newCard(folder.id());
                card->header()->putName(names[i], w.recordKey());
                ASSERT_GE(w.appendCard(*card), 0);
            }
            expected.push_back(line);
        }
    });
    const test::TmproResult r = run({"ls", wallet, "Names"});
    ASSERT_EQ(r.code, 0) << r.err;
    std::vector<std::string> lines;
    std::istringstream out(r.out);
    for (std::string line; std::getline(out, line);) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
    // tree writes the same, indented.
    const std::string tree = run({"tree", wallet}).out;
    for (const std::string& line : expected) EXPECT_NE(tree.find("\n  " + line + "\n"), std::string::npos) << line;
}

TEST_F(TreeCommandsTest, ExportWritesTheFileAndPrintsItsPath) {
    const std::string out = (dir / "out").string();
    fs::create_directories(out);
    test::TmproResult r = run({"export", wallet, "--out", out, "--card", "Personal/Bank", "--attachments"});
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_FALSE(r.out.empty());
    const fs::path file = r.out.substr(0, r.out.size() - 1);
    EXPECT_EQ(file.parent_path(), fs::path(out) / "wallet");
    EXPECT_EQ(file.filename().string().rfind("Bank_", 0), 0u) << file;
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    const std::string text =
        toUtf8(fromBytes16(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 2, bytes.size() - 2));
    EXPECT_NE(text.find("\r\nBank\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nAccount: 12-345\r\nPIN: ********\r\n"), std::string::npos) << text;
    EXPECT_EQ(fs::file_size(fs::path(out) / "wallet" / "000_statement.pdf"), 4u);

    r = run({"export", wallet, "--out", out, "--folder", "Personal", "--passwords"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("warning"), std::string::npos);

    struct Case {
        std::vector<std::string> args;
        int code;
    };
    const Case failures[] = {
        {{"export", wallet}, 2},
        {{"export", wallet, "--out", out, "--card", "Personal/Bank", "--folder", "Personal"}, 2},
        {{"export", wallet, "--out", out, "--folder", "Personal/Bank"}, 2},
        {{"export", wallet, "--out", out, "--card", "Personal"}, 2},
        {{"export", wallet, "--out", out, "--card", "Personal/Nobody"}, 5},
        {{"export", wallet, "--out", wallet + "/inside-a-file"}, 1},
    };
    for (const Case& c : failures) EXPECT_EQ(run(c.args).code, c.code) << c.args.back();

    // A missing output folder is made, with the folders above it.
    EXPECT_EQ(run({"export", wallet, "--out", (dir / "missing" / "deeper").string()}).code, 0);
    EXPECT_TRUE(fs::is_directory(dir / "missing" / "deeper"));
}

TEST_F(TreeCommandsTest, RecordsWhoseFolderIsMissingAreShownExportedAndGivenAFolder) {
    withWallet([](WalletFile& w) {
        const RecordHeader ghost = w.newFolder({}, false);  // never written
        RecordHeader lost = w.newFolder(ghost.id(), false);
        lost.putName(u"Lost", w.recordKey());
        ASSERT_GE(w.appendFolder(lost), 0);
        std::unique_ptr<Card> stray = w.newCard(lost.id());
        stray->header()->putName(u"Stray", w.recordKey());
        test::addField(*stray, field_kind::kText, u"Note", u"still here");
        ASSERT_GE(w.appendCard(*stray), 0);
    });
    const std::string before = fileBytes(wallet);
    test::TmproResult r = run({"tree", wallet});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.substr(r.out.find("My Forms/\n")), "My Forms/\n[Recovered]\n  Lost/\n    Stray\n");
    EXPECT_NE(r.err.find("2 record(s) whose folder is missing"), std::string::npos) << r.err;
    r = run({"ls", wallet});
    EXPECT_EQ(r.out, "Personal/\nMy Forms/\n[Recovered]\n");
    EXPECT_EQ(fileBytes(wallet), before) << "showing them changes nothing";

    const std::string out = (dir / "out").string();
    r = run({"export", wallet, "--out", out});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("1 card(s) whose folder is missing were written under 'Recovered'"), std::string::npos)
        << r.err;
    std::ifstream in(r.out.substr(0, r.out.size() - 1), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string text =
        toUtf8(fromBytes16(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 2, bytes.size() - 2));
    EXPECT_NE(text.find("Recovered > Lost\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Note: still here"), std::string::npos) << text;

    r = run({"--yes", "repair", wallet});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Moved to the folder Recovered because their folder was missing: Lost"), std::string::npos)
        << r.out;
    r = run({"tree", wallet});
    EXPECT_EQ(r.out.substr(r.out.find("Personal/\n")),
              "Personal/\n  Bank\n  Empty\n  a\\/b/\nRecovered/\n  Lost/\n    Stray\nMy Forms/\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(TreeCommandsTest, MkdirMakesFoldersWithTheFolderIcon) {
    ASSERT_EQ(run({"mkdir", wallet, "Personal/Travel"}).code, 0);
    withWallet([](WalletFile& w) {
        const std::int64_t at = w.index().count() - 1;
        EXPECT_EQ(w.nameOf(static_cast<std::size_t>(at)), u"Travel");
        EXPECT_EQ(w.index().at(static_cast<std::size_t>(at)).iconIndex(), 72);
    });
}

TEST_F(TreeCommandsTest, CardTextPrintsTheClipboardTextWithAWarning) {
    test::TmproResult r = run({"card-text", wallet, "Personal/Bank"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Bank\r\n\r\nAccount: 12-345\r\n\r\nPIN: 4711\r\n\r\n");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("in clear"), std::string::npos);

    r = run({"card-text", wallet, "Personal/Empty"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(run({"card-text", wallet, "Personal"}).code, 2);
    EXPECT_EQ(run({"card-text", wallet}).code, 2);
}

}  // namespace
}  // namespace tw
