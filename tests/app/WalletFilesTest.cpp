// The wallet files of the wallets manager: the scan, new names, copies, renames and deletions, on
// real files in a temporary folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "app/WalletFiles.h"
#include "platform/Text.h"

namespace tw::app {

namespace {

namespace fs = std::filesystem;

class WalletFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("tw-wallets-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_root);
        fs::create_directories(m_root);
        m_root = fs::canonical(m_root);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
    std::string file(const std::string& relative, const std::string& content = "wallet") {
        const fs::path p = m_root / relative;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
        return p.string();
    }
    std::string at(const std::string& relative) const { return (m_root / relative).string(); }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static std::vector<std::string> names(const ScanResult& r) {
        std::vector<std::string> out;
        for (const auto& w : r.wallets)
            out.push_back(toUtf8(w.name) + (w.older ? "/old" : "") + (w.removable ? "/rm" : ""));
        return out;
    }
    fs::path m_root;
};

TEST_F(WalletFilesTest, scanListsEachWalletOnceInOrder) {
    file("docs/Home.tm5");
    file("docs/home.tm5");
    file("docs/Old.wal");
    file("docs/Zed.TM5");
    file("docs/apple.tm5");
    file("docs/Tallowmere Samples/Sample.tm5");
    file("docs/.hidden/Secret.tm5");
    file("docs/notes.txt");
    file("docs/a/b/c/d/TooDeep.tm5");
    fs::create_directories(at("docs/folder.tm5"));
    fs::create_symlink(at("docs/Home.tm5"), at("docs/Link to Home.tm5"));
    fs::create_symlink(at("docs"), at("docs/loop"));
    file("card/Documents/Travel.tm5");
    fs::create_directories(at("unreadable"));
    file("unreadable/Locked.tm5");
    ::chmod(at("unreadable/Locked.tm5").c_str(), 0);

    ScanLimits limits;
    limits.maxDepth = 3;
    // The documents folder twice (a second store showing the same files) lists nothing twice.
    const ScanResult r = scanWallets({{at("docs"), false},
                                      {at("card"), true},
                                      {at("docs"), false},
                                      {at("unreadable"), false},
                                      {at("vanished"), true}},
                                     limits);
    EXPECT_EQ(names(r),
              (std::vector<std::string>{"apple", "Home", "home", "Locked", "Sample", "Travel/rm", "Zed", "Old/old"}));
    EXPECT_TRUE(r.unfinished.empty());
    EXPECT_EQ(r.wallets[1].path, at("docs/Home.tm5"));
    EXPECT_EQ(r.wallets[2].path, at("docs/home.tm5"));
}

TEST_F(WalletFilesTest, scanStopsAtTheEntryBoundAndSaysSo) {
    for (int i = 0; i < 10000; ++i) file("many/" + std::to_string(i) + ".tm5");
    ScanLimits limits;
    const ScanResult all = scanWallets({{at("many"), false}}, limits);
    EXPECT_EQ(all.wallets.size(), 10000u);
    EXPECT_TRUE(all.unfinished.empty());
    limits.maxEntries = 100;
    const ScanResult bounded = scanWallets({{at("many"), false}}, limits);
    EXPECT_LE(bounded.wallets.size(), 100u);
    EXPECT_EQ(bounded.unfinished, std::vector<std::string>{at("many")});

    // A place that does not answer in time is given up and named; the call does not wait for it.
    limits = ScanLimits{};
    limits.timeLimit = std::chrono::milliseconds(0);
    const ScanResult late = scanWallets({{at("many"), false}}, limits);
    EXPECT_TRUE(late.wallets.empty());
    EXPECT_EQ(late.unfinished, std::vector<std::string>{at("many")});
}

TEST(RemovableMounts, picksMediaMountsAndDecodesEscapes) {
    const char* table =
        "/dev/sda1 / ext4 rw 0 0\n"
        "proc /proc proc rw 0 0\n"
        "/dev/sdb1 /media/anna/SD\\040CARD vfat rw 0 0\n"
        "/dev/sdc1 /run/media/anna/STICK exfat rw 0 0\n"
        "/dev/sdd1 /mnt/backup ext4 rw 0 0\n"
        "broken-line\n";
    EXPECT_EQ(removableMounts(table), (std::vector<std::string>{"/media/anna/SD CARD", "/run/media/anna/STICK"}));
}

TEST(WalletNames, checks) {
    struct Case {
        std::u16string name;
        NameCheck expected;
    };
    const std::u16string longest(251, u'a');  // 251 + ".tm5" = 255 bytes
    const Case cases[] = {
        {u"Home", NameCheck::Ok},
        {u"Mein Beispielwallet", NameCheck::Ok},
        {longest, NameCheck::Ok},
        {longest + u"a", NameCheck::TooLong},
        {std::u16string(126, u'\u00e4'), NameCheck::TooLong},  // 252 bytes in UTF-8
        {u"", NameCheck::Empty},
        {u"a:b", NameCheck::ForbiddenChar},
        {u"a/b", NameCheck::ForbiddenChar},
        {u"a|b", NameCheck::ForbiddenChar},
        {u"tab\there", NameCheck::ControlChar},
        {u"line\nbreak", NameCheck::ControlChar},
        {u"del\x7f", NameCheck::ControlChar},
        {u".", NameCheck::Dots},
        {u"..", NameCheck::Dots},
        {u"...", NameCheck::Ok},
    };
    for (const Case& c : cases) EXPECT_EQ(checkWalletName(c.name), c.expected) << toUtf8(c.name);
}

TEST_F(WalletFilesTest, newWalletPathRefusesAnyExistingName) {
    file("docs/Home.tm5");
    fs::create_symlink(at("docs/nowhere"), at("docs/Dangling.tm5"));
    EXPECT_EQ(newWalletPath(at("docs"), u"Home", false).result, NewPathResult::Exists);
    EXPECT_EQ(newWalletPath(at("docs"), u"Dangling", false).result, NewPathResult::Exists);
    const NewPath fresh = newWalletPath(at("docs"), u"home", false);
    EXPECT_EQ(fresh.result, NewPathResult::Ok);
    EXPECT_EQ(fresh.path, at("docs/home.tm5"));
    EXPECT_EQ(newWalletPath(at("card/Documents"), u"Travel", false).result, NewPathResult::NoFolder);
    fs::create_directories(at("card"));
    EXPECT_EQ(newWalletPath(at("card/Documents"), u"Travel", true).result, NewPathResult::Ok);
    EXPECT_TRUE(fs::is_directory(at("card/Documents")));
}

TEST_F(WalletFilesTest, copyTakesTheNextFreeNameAndKeepsTheMode) {
    const std::string home = file("docs/Home.tm5", "original bytes");
    ::chmod(home.c_str(), 0640);
    file("docs/Home(3).tm5", "someone else's");
    const FileOutcome first = copyWallet(home);
    const FileOutcome second = copyWallet(home);
    ASSERT_TRUE(first.ok && second.ok);
    EXPECT_EQ(first.path, at("docs/Home(2).tm5"));
    EXPECT_EQ(second.path, at("docs/Home(4).tm5"));
    EXPECT_EQ(read(second.path), "original bytes");
    EXPECT_EQ(read(at("docs/Home(3).tm5")), "someone else's");
    struct stat st {};
    ASSERT_EQ(::stat(first.path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(WalletFilesTest, copyFailsWhenEveryNameIsTaken) {
    const std::string home = file("docs/Home.wal");
    for (int n = 2; n <= 32; ++n) file("docs/Home(" + std::to_string(n) + ").wal", "taken");
    const FileOutcome outcome = copyWallet(home);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.error, EEXIST);
    EXPECT_FALSE(fs::exists(at("docs/Home(33).wal")));
    EXPECT_EQ(read(at("docs/Home(32).wal")), "taken");
    EXPECT_FALSE(copyWallet(at("docs/missing.tm5")).ok);
}

TEST_F(WalletFilesTest, deleteRemovesOnlyTheChosenFile) {
    const std::string home = file("docs/Home.tm5");
    const std::string other = file("docs/home.tm5");
    const std::string target = file("elsewhere/Real.tm5");
    fs::create_symlink(target, at("docs/Link.tm5"));
    fs::create_directories(at("docs/Folder.tm5"));

    EXPECT_TRUE(deleteWallet(home).ok);
    EXPECT_FALSE(fs::exists(home));
    EXPECT_TRUE(fs::exists(other));
    EXPECT_TRUE(deleteWallet(at("docs/Link.tm5")).ok);
    EXPECT_TRUE(fs::exists(target));
    const FileOutcome folder = deleteWallet(at("docs/Folder.tm5"));
    EXPECT_FALSE(folder.ok);
    EXPECT_EQ(folder.error, EISDIR);
    EXPECT_TRUE(fs::is_directory(at("docs/Folder.tm5")));
    EXPECT_EQ(deleteWallet(home).error, ENOENT);
}

TEST_F(WalletFilesTest, renameNeverReplacesAndFollowsTheLastWallet) {
    const std::string home = file("docs/Home.tm5", "home");
    file("docs/home.tm5", "other");
    std::u16string mru = fromUtf8(home);

    const FileOutcome taken = renameWallet(home, u"home", &mru);
    EXPECT_FALSE(taken.ok);
    EXPECT_EQ(taken.error, EEXIST);
    EXPECT_EQ(read(at("docs/home.tm5")), "other");
    EXPECT_EQ(renameWallet(home, u"a:b", &mru).error, EINVAL);

    const FileOutcome renamed = renameWallet(home, u"Haus", &mru);
    ASSERT_TRUE(renamed.ok);
    EXPECT_EQ(renamed.path, at("docs/Haus.tm5"));
    EXPECT_EQ(read(renamed.path), "home");
    EXPECT_FALSE(fs::exists(home));
    EXPECT_EQ(mru, fromUtf8(at("docs/Haus.tm5")));

    std::u16string otherMru = u"/somewhere/else.tm5";
    ASSERT_TRUE(renameWallet(at("docs/home.tm5"), u"Garden", &otherMru).ok);
    EXPECT_EQ(otherMru, u"/somewhere/else.tm5");
}

}  // namespace

}  // namespace tw::app
