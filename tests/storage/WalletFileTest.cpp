#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/PosixFile.h"
#include "storage/Bytes.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"
#include "support/TestEnv.h"

namespace tw {
namespace {

using test::kPassword;
using test::kWalletPath;

class WalletFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(createWallet(t.env, kWalletPath, kPassword, u"the usual", true), CreateResult::Ok);
        ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
    }

    std::vector<std::uint8_t>& bytes() { return t.files.bytes(kWalletPath); }

    std::int64_t addFolder(const std::u16string& name, const RecordId& parent = RecordId{}) {
        RecordHeader h = wallet.newFolder(parent, false);
        h.putName(name, wallet.recordKey());
        return wallet.appendFolder(h);
    }

    // Reopens the file from scratch and lists the live names in index order.
    std::vector<std::u16string> reopenNames() {
        WalletFile again(t.env);
        EXPECT_EQ(again.readAll(kWalletPath, kPassword, true), OpenResult::Ok);
        std::vector<std::u16string> names;
        for (std::size_t i = 0; i < again.index().count(); ++i) names.push_back(again.nameOf(i));
        return names;
    }

    test::TestEnv t;
    WalletFile wallet{t.env};
};

TEST(CreateWallet, RefusalsLeaveNoFileAndTouchNothing) {
    test::TestEnv t;
    t.files.setBytes("/w/existing.tm5", {1, 2, 3});
    struct Case {
        std::string path;
        std::optional<std::u16string> password;
        CreateResult expected;
    };
    const Case cases[] = {
        {"a.tm5", u"secret", CreateResult::BadPath},
        {"/w/new.tm5", std::nullopt, CreateResult::NoPassword},
        {"/w/new.tm5", u"ab", CreateResult::BadPasswordLength},
        {"/w/new.tm5", std::u16string(24, u'x'), CreateResult::BadPasswordLength},
        {"/w/new.tm5", u"pass\xD800word", CreateResult::PasswordNotText},
        {"/w/new.tm5", u"pass\xDE00\xD83Dword", CreateResult::PasswordNotText},
        {"/w/existing.tm5", u"secret", CreateResult::Exists},
    };
    for (const auto& c : cases) {
        std::optional<std::u16string_view> password;
        if (c.password) password = *c.password;
        EXPECT_EQ(createWallet(t.env, c.path, password, std::nullopt, true), c.expected) << c.path;
    }
    EXPECT_FALSE(t.files.exists("/w/new.tm5"));
    EXPECT_EQ(t.files.bytes("/w/existing.tm5"), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(createWallet(t.env, "/w/new.tm5", std::u16string(23, u'x'), std::nullopt, false), CreateResult::Ok);
}

TEST(CreateWallet, FailedBlockWritesRemoveTheNewFile) {
    for (const auto& [failAt, expected] :
         {std::pair{1, CreateResult::HeaderWriteFailed}, std::pair{2, CreateResult::KeyWriteFailed},
          std::pair{3, CreateResult::SettingsWriteFailed}}) {
        test::TestEnv t;
        t.files.faults().failWriteAt = static_cast<std::uint64_t>(failAt);
        EXPECT_EQ(createWallet(t.env, kWalletPath, kPassword, std::nullopt, true), expected);
        EXPECT_FALSE(t.files.exists(kWalletPath));
    }
}

TEST_F(WalletFileTest, NewWalletHoldsFirstFolderAndFormsFolder) {
    ASSERT_EQ(wallet.index().count(), 2u);
    EXPECT_EQ(wallet.index().at(0).type(), RecordType::Folder);
    EXPECT_EQ(wallet.nameOf(0), u"Personal");
    EXPECT_EQ(wallet.index().at(0).iconIndex(), 72);
    EXPECT_EQ(wallet.index().formsFolder(), 1);
    EXPECT_EQ(wallet.nameOf(1), u"My Forms");
    EXPECT_EQ(wallet.index().at(1).iconIndex(), 55);
    EXPECT_EQ(bytes().size(), WalletFile::kFirstRecord + 2 * RecordHeader::kSize);

    // The hint and the special names can be read without the password.
    WalletFile locked(t.env);
    ASSERT_EQ(locked.open(kWalletPath, u"wrong password", true), OpenResult::WrongPassword);
    KeyBlock keys;
    auto file = t.files.open(kWalletPath, OpenMode::Read);
    file->seekTo(HeaderBlock::kSize);
    ASSERT_EQ(keys.read(file.get()), FileResult::Done);
    std::u16string hint, name;
    std::uint32_t icon = 0;
    ASSERT_TRUE(keys.readHint(hint));
    EXPECT_EQ(hint, u"the usual");
    ASSERT_TRUE(keys.readSpecial(2, name, icon));
    EXPECT_EQ(name, u"Find Results");
}

TEST_F(WalletFileTest, OpenResults) {
    wallet.close();
    t.files.setBytes("/w/short.tm5", std::vector<std::uint8_t>(75, 0));
    std::vector<std::uint8_t> badVersion = bytes();
    std::memcpy(badVersion.data() + 64, "(4.00) ", 7);
    t.files.setBytes("/w/version.tm5", badVersion);
    std::vector<std::uint8_t> badKeys = bytes();
    badKeys[HeaderBlock::kSize + 3] ^= 1;
    t.files.setBytes("/w/keys.tm5", badKeys);
    std::vector<std::uint8_t> badSettings = bytes();
    badSettings[HeaderBlock::kSize + KeyBlock::kSize + SettingsBlock::kSize - 1] ^= 1;
    t.files.setBytes("/w/settings.tm5", badSettings);

    const std::pair<std::string, OpenResult> cases[] = {
        {"a.tm5", OpenResult::BadPath},           {"/w/missing.tm5", OpenResult::CannotOpen},
        {"/w/short.tm5", OpenResult::NotAWallet}, {"/w/version.tm5", OpenResult::BadVersion},
        {"/w/keys.tm5", OpenResult::BadKeyBlock}, {"/w/settings.tm5", OpenResult::BadSettingsBlock},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(wallet.readAll(path, kPassword, false), expected) << path;
    EXPECT_EQ(wallet.readAll(kWalletPath, u"not it", false), OpenResult::WrongPassword);
    EXPECT_FALSE(wallet.isOpen());
}

TEST_F(WalletFileTest, FoldersAreAppendedRenamedMovedAndDeleted) {
    const std::int64_t bank = addFolder(u"Bank");
    const std::int64_t web = addFolder(u"Web");
    ASSERT_GE(bank, 0);
    ASSERT_GE(web, 0);
    const RecordId bankId = wallet.index().at(static_cast<std::size_t>(bank)).id();
    ASSERT_TRUE(wallet.move(static_cast<std::size_t>(web), bankId));
    EXPECT_EQ(wallet.index().folderOf(web), bank);
    ASSERT_TRUE(wallet.rename(static_cast<std::size_t>(bank), u"Banking"));
    EXPECT_EQ(reopenNames(), (std::vector<std::u16string>{u"Personal", u"My Forms", u"Banking", u"Web"}));

    const std::size_t sizeBefore = bytes().size();
    ASSERT_TRUE(wallet.remove(static_cast<std::size_t>(web)));
    EXPECT_TRUE(wallet.index().at(static_cast<std::size_t>(web)).deleted());
    EXPECT_EQ(bytes().size(), sizeBefore) << "a folder's marker is its whole header";
    EXPECT_EQ(reopenNames(), (std::vector<std::u16string>{u"Personal", u"My Forms", u"Banking"}));
}

TEST_F(WalletFileTest, SameNameAgainWritesNothing) {
    const auto writes = t.files.faults().writes;
    EXPECT_TRUE(wallet.rename(0, u"Personal"));
    EXPECT_EQ(t.files.faults().writes, writes);
}

TEST_F(WalletFileTest, IndexGrowsWithoutMovingEntries) {
    const RecordId first = wallet.index().at(0).id();
    for (int i = 0; wallet.index().count() < 4097; ++i) {
        RecordHeader h = wallet.newFolder(RecordId{}, false);
        wallet.index().append(h);
    }
    EXPECT_EQ(wallet.index().capacity(), 5120u);
    EXPECT_EQ(wallet.index().at(0).id(), first);
    EXPECT_EQ(wallet.index().find(first), 0);
}

TEST_F(WalletFileTest, FlushWritesOnlyChangedBlocksAndReportsFailures) {
    EXPECT_EQ(wallet.flush(), 0);
    wallet.settings().setCloseMinutes(12, t.clock.localTime());
    const std::vector<std::uint8_t> before = bytes();
    t.files.faults().failWriteAt = t.files.faults().writes + 1;
    EXPECT_EQ(wallet.flush(), 4);
    EXPECT_FALSE(wallet.isOpen());
    EXPECT_EQ(bytes(), before);

    t.files.resetFaults();
    ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
    wallet.settings().setCloseMinutes(12, t.clock.localTime());
    EXPECT_EQ(wallet.flush(), 0);
    wallet.close();
    ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
    EXPECT_EQ(wallet.settings().closeMinutes(), 12u);
}

TEST_F(WalletFileTest, RepairCutsGarbageBetweenRecordsAndEndsTheFile) {
    ASSERT_GE(addFolder(u"Last"), 0);
    wallet.close();
    // 100 bytes of garbage between the second and third records.
    auto& b = bytes();
    const std::size_t at = WalletFile::kFirstRecord + 2 * RecordHeader::kSize;
    b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), 100, 0x5A);
    ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, false), OpenResult::Damaged);
    wallet.close();

    ASSERT_EQ(wallet.openWithRepair(kWalletPath, kPassword, false), OpenResult::Ok);
    ASSERT_FALSE(t.prompt.shown.empty());
    EXPECT_EQ(t.prompt.shown.back().text, u"2 repairs were made to /wallets/test.tm5.");
    EXPECT_EQ(wallet.index().count(), 3u);
    EXPECT_EQ(wallet.nameOf(2), u"Last");
    EXPECT_EQ(bytes().size(), WalletFile::kFirstRecord + 3 * RecordHeader::kSize);

    // A sound wallet whose last record is a folder is kept as it is: one change, the file's end.
    wallet.close();
    const std::vector<std::uint8_t> sound = bytes();
    ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
    EXPECT_EQ(wallet.repairScan(kPassword), 0);
    EXPECT_EQ(t.prompt.shown.back().text, u"1 repairs were made to /wallets/test.tm5.");
    EXPECT_EQ(bytes(), sound);
}

TEST_F(WalletFileTest, RepairDeclinedChangesNothing) {
    wallet.close();
    bytes().resize(bytes().size() + 10, 0x11);
    const std::vector<std::uint8_t> damaged = bytes();
    t.prompt.answers = {Answer::No};
    EXPECT_EQ(wallet.openWithRepair(kWalletPath, kPassword, false), OpenResult::Damaged);
    EXPECT_EQ(bytes(), damaged);
    t.prompt.answers = {Answer::Yes, Answer::Cancel};
    EXPECT_EQ(wallet.openWithRepair(kWalletPath, kPassword, false), OpenResult::Damaged);
    EXPECT_EQ(bytes(), damaged);
}

TEST_F(WalletFileTest, RepairDropsAnUnfinishedLastRecord) {
    ASSERT_GE(addFolder(u"Kept"), 0);
    wallet.close();
    const std::vector<std::uint8_t> sound = bytes();
    // A header announcing a 5000-byte body of which only 10 bytes made it to the file.
    auto& b = bytes();
    std::vector<std::uint8_t> tail(sound.end() - RecordHeader::kSize, sound.end());
    tail[16] ^= 0x77;  // another identifier
    putU32(tail.data(), RecordHeader::kBodyLength, 5000);
    b.insert(b.end(), tail.begin(), tail.end());
    b.insert(b.end(), 10, 0);
    ASSERT_EQ(wallet.openWithRepair(kWalletPath, kPassword, false), OpenResult::Ok);
    EXPECT_EQ(bytes(), sound);
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

// A wallet reached through a symbolic link stays reachable through it: changes that replace the
// file whole replace the file the link points to, not the link.
TEST(WalletOnDisk, ReplacementKeepsSymbolicLinks) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("tw-link-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "real");
    const std::string target = (dir / "real" / "wallet.tm5").string();
    const std::string link = (dir / "link.tm5").string();
    PosixFileSystem files;
    FixedClock clock{SystemTime{2026, 12, 4, 10, 9, 30, 15, 0}};
    SequenceRandom random{1};
    StringTable strings;
    ScriptedPrompt prompt;
    FakeSystem system;
    Env env{files, clock, random, strings, prompt, system};
    ASSERT_EQ(createWallet(env, target, kPassword, std::nullopt, true), CreateResult::Ok);
    fs::create_symlink(target, link);
    {
        WalletFile wallet(env);
        ASSERT_EQ(wallet.readAll(link, kPassword, false), OpenResult::Ok);
        ASSERT_TRUE(wallet.remove(0));  // a deletion replaces the file whole
    }
    EXPECT_TRUE(fs::is_symlink(link));
    WalletFile again(env);
    ASSERT_EQ(again.readAll(link, kPassword, true), OpenResult::Ok);
    EXPECT_EQ(again.index().count(), 1u) << "the change reached the file behind the link";
    again.close();
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tw
