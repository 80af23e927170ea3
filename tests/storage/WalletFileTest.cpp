#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "model/Card.h"
#include "platform/PosixFile.h"
#include "platform/Text.h"
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

// The lookup names the first entry with an identifier and, past deleted ones, the first live
// one, whether entries came one by one or were read in bulk.
TEST_F(WalletFileTest, LookupNamesTheFirstEntryAndTheFirstLiveOne) {
    for (const bool bulk : {false, true}) {
        SCOPED_TRACE(bulk ? "bulk" : "one by one");
        WalletIndex index;
        RecordHeader twin = wallet.newFolder(RecordId{}, false);
        RecordHeader gone = twin;
        gone.setDeletedMark(true);
        const RecordHeader other = wallet.newFolder(RecordId{}, false);
        if (bulk) index.beginBulk();
        index.append(gone);
        for (int i = 0; i < 40; ++i) index.append(wallet.newFolder(RecordId{}, false));
        index.append(twin);
        index.append(other);
        if (bulk) index.endBulk();
        EXPECT_EQ(index.find(twin.id()), 0);
        EXPECT_EQ(index.findLive(twin.id()), 41);
        EXPECT_EQ(index.findLive(other.id()), 42);
        EXPECT_EQ(index.find(wallet.newFolder(RecordId{}, false).id()), -1);
    }
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

// A replacement file left by a killed run goes when a writer opens the wallet; one that cannot go
// (a folder of that name) is told at the open and named by the replacement it stops.
TEST(LeftoverReplacement, IsRemovedByAWriterOrNamed) {
    test::TestEnv t;
    ASSERT_EQ(createWallet(t.env, kWalletPath, kPassword, std::nullopt, true), CreateResult::Ok);
    const std::string leftover = kWalletPath + ".~new";
    t.files.setBytes(leftover, std::vector<std::uint8_t>(5000, 1));
    {
        WalletFile reader(t.env);
        ASSERT_EQ(reader.readAll(kWalletPath, kPassword, true), OpenResult::Ok);
        EXPECT_TRUE(t.files.exists(leftover)) << "a reader leaves it: a writer may be making it";
    }
    {
        WalletFile writer(t.env);
        ASSERT_EQ(writer.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
        EXPECT_FALSE(t.files.exists(leftover));
        EXPECT_FALSE(writer.leftoverInTheWay());
    }
    ASSERT_TRUE(t.files.makeFolder(leftover));
    WalletFile writer(t.env);
    ASSERT_EQ(writer.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
    EXPECT_TRUE(writer.leftoverInTheWay());
    RecordHeader h = writer.newFolder(RecordId{}, false);
    h.putName(u"Appended", writer.recordKey());
    EXPECT_GE(writer.appendFolder(h), 0) << "appends do not need it";
    EXPECT_FALSE(writer.remove(0));
    EXPECT_EQ(writer.writeProblem(), WriteProblem::LeftoverInTheWay);
    EXPECT_EQ(writer.replacementPath(), leftover);
}

// The repair scan's branches, each on one damage to a small wallet: Personal/ (first folder),
// My Forms/, Last/, then Visa (in Personal: two fields and a picture) at the end of the file.
struct RepairWallet {
    test::TestEnv t;
    std::vector<std::uint8_t> sound;
    std::size_t visa = 0;        // where Visa's record starts
    std::size_t visaFields = 0;  // its body's length up to the picture's sub-record

    RepairWallet() {
        EXPECT_EQ(createWallet(t.env, kWalletPath, kPassword, std::nullopt, true), CreateResult::Ok);
        WalletFile w(t.env);
        EXPECT_EQ(w.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
        RecordHeader last = w.newFolder(RecordId{}, false);
        last.putName(u"Last", w.recordKey());
        EXPECT_GE(w.appendFolder(last), 0);
        std::unique_ptr<Card> card = w.newCard(w.index().at(0).id());
        card->header()->putName(u"Visa", w.recordKey());
        card->newField(1, t.strings)->setValue(u"4111 1111");
        card->newField(7, t.strings)->setValue(u"1234");
        std::vector<std::uint8_t> fields;
        EXPECT_TRUE(card->serializeBody(w.recordKey(), &fields));
        visaFields = fields.size();
        card->picture().set(std::vector<std::uint8_t>(1000, 0x77), u"card.bmp");
        EXPECT_GE(w.appendCard(*card), 0);
        w.close();
        sound = t.files.bytes(kWalletPath);
        visa = WalletFile::kFirstRecord + 3 * RecordHeader::kSize;
    }
    std::vector<std::uint8_t>& bytes() { return t.files.bytes(kWalletPath); }
    // A header of a record that is not in the wallet, named "Ghost".
    std::vector<std::uint8_t> ghostHeader() {
        WalletFile w(t.env);
        EXPECT_EQ(w.open(kWalletPath, kPassword, true), OpenResult::Ok);
        RecordHeader h = w.newFolder(RecordId{}, false);
        h.putName(u"Ghost", w.recordKey());
        return recordBytes(h, t.clock.localTime());
    }
};

using Names = std::vector<std::u16string>;

TEST(RepairScan, EachKindOfDamage) {
    using Damage = std::function<void(RepairWallet&)>;
    auto insertAt = [](RepairWallet& w, std::size_t at, const std::vector<std::uint8_t>& what) {
        w.bytes().insert(w.bytes().begin() + static_cast<std::ptrdiff_t>(at), what.begin(), what.end());
    };
    const struct {
        const char* what;
        Damage damage;
        std::int64_t changes;
        bool backToSound;  // the file is the wallet before the damage again
        Names removed, emptied, shortened, rehomed;
    } cases[] = {
        {"a sound wallet", [](RepairWallet&) {}, 0, true, {}, {}, {}, {}},
        {"garbage between records",
         [&](RepairWallet& w) { insertAt(w, w.visa, std::vector<std::uint8_t>(100, 0x5A)); },
         1,
         true,
         {},
         {},
         {},
         {}},
        {"garbage after the last record",
         [](RepairWallet& w) { w.bytes().resize(w.bytes().size() + 600, 0x5A); },
         1,
         true,
         {},
         {},
         {},
         {}},
        {"a false start whose name area is whole",
         [&](RepairWallet& w) {
             std::vector<std::uint8_t> ghost = w.ghostHeader();
             ghost.resize(700);
             insertAt(w, w.visa, ghost);
         },
         1,
         true,
         {u"Ghost"},
         {},
         {},
         {}},
        {"a false start cut inside its name area",
         [&](RepairWallet& w) {
             std::vector<std::uint8_t> ghost = w.ghostHeader();
             ghost.resize(300);
             insertAt(w, w.visa - RecordHeader::kSize, ghost);
         },
         1,
         true,
         {},
         {},
         {},
         {}},
        {"a header cut short at the end of the file",
         [](RepairWallet& w) { w.bytes().resize(w.visa + 700); },
         1,
         false,
         {u"Visa"},
         {},
         {},
         {}},
        {"lengths that overrun the next record: the header stays, its last 36 bytes zeroed",
         [](RepairWallet& w) {
             putU32(w.bytes().data(), WalletFile::kFirstRecord + RecordHeader::kBodyLength, 5000);
             putU32(w.bytes().data(), WalletFile::kFirstRecord + RecordHeader::kIconWord, 7);
         },
         1,
         true,
         {},
         {u"Personal"},
         {},
         {}},
        {"no record start at all",
         [](RepairWallet& w) {
             std::fill(w.bytes().begin() + static_cast<std::ptrdiff_t>(WalletFile::kFirstRecord), w.bytes().end(),
                       0x5A);
         },
         1,
         false,
         {},
         {},
         {},
         {}},
        {"a folder's type identifier damaged: its card gets a folder again",
         [](RepairWallet& w) { w.bytes()[WalletFile::kFirstRecord] ^= 0xFF; },
         3,
         false,
         {},
         {},
         {},
         {u"Visa"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RepairWallet w;
        c.damage(w);
        const std::vector<std::uint8_t> damaged = w.bytes();
        WalletFile wallet(w.t.env);
        RepairReport report;
        ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, false) != OpenResult::Ok, c.changes != 0);
        ASSERT_EQ(wallet.repairScan(kPassword, &report), 0);
        EXPECT_FALSE(wallet.isOpen());
        EXPECT_EQ(report.changes, c.changes);
        EXPECT_EQ(report.removed, c.removed);
        EXPECT_EQ(report.emptied, c.emptied);
        EXPECT_EQ(report.shortened, c.shortened);
        EXPECT_EQ(report.rehomed, c.rehomed);
        if (c.backToSound) {
            EXPECT_EQ(w.bytes(), w.sound);
        }
        // Before its first change the scan keeps the wallet as it was; a sound one is left alone.
        if (c.changes == 0) {
            EXPECT_EQ(w.t.prompt.shown.back().text, u"No damage found in /wallets/test.tm5.");
            EXPECT_FALSE(w.t.files.exists(kWalletPath + ".bak"));
            EXPECT_EQ(report.backupPath, "");
        } else {
            EXPECT_EQ(report.backupPath, kWalletPath + ".bak");
            EXPECT_EQ(w.t.files.bytes(kWalletPath + ".bak"), damaged);
            EXPECT_EQ(w.t.prompt.shown.back().text.substr(0, 3), fromUtf8(std::to_string(c.changes)) + u" r");
        }
        EXPECT_EQ(wallet.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
        // Nothing is left that the folder tree cannot reach.
        EXPECT_TRUE(reachability(wallet.index()).unhomed.empty());
    }
}

TEST(RepairScan, ReportNamesWhatItDidAndWhereTheCopyIs) {
    RepairWallet w;
    w.bytes()[WalletFile::kFirstRecord] ^= 0xFF;
    WalletFile wallet(w.t.env);
    ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, false), OpenResult::Damaged);
    ASSERT_EQ(wallet.repairScan(kPassword), 0);
    EXPECT_EQ(
        w.t.prompt.shown.back().text,
        u"3 repairs were made to /wallets/test.tm5.\n\nMoved to Found again: Visa\n\nCopy: /wallets/test.tm5.bak");
    ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
    std::int64_t visa = -1;
    for (std::size_t i = 0; i < wallet.index().count(); ++i)
        if (wallet.nameOf(i) == u"Visa") visa = static_cast<std::int64_t>(i);
    ASSERT_GE(visa, 0);
    const std::int64_t folder = wallet.index().parentOf(visa);
    ASSERT_GE(folder, 0);
    EXPECT_EQ(wallet.nameOf(static_cast<std::size_t>(folder)), u"Found again");
    EXPECT_EQ(wallet.index().at(static_cast<std::size_t>(folder)).iconIndex(), 72);
    EXPECT_TRUE(wallet.index().at(static_cast<std::size_t>(visa)).changeFlags() & change::kMoved);
    EXPECT_TRUE(wallet.loadCard(wallet.index().at(static_cast<std::size_t>(visa)).id()));

    // A second repair finds nothing and reuses the folder for whatever loses its folder later.
    ASSERT_EQ(wallet.repairScan(kPassword), 0);
    EXPECT_EQ(w.t.prompt.shown.back().text, u"No damage found in /wallets/test.tm5.");
}

// The last record, cut short by the end of the file, keeps its name and all the file holds whole.
TEST(RepairScan, LastRecordCutShortKeepsWhatTheFileHoldsWhole) {
    const struct {
        const char* what;
        std::size_t keep;  // bytes of Visa's body left in the file; 0: the cut is inside the picture
        std::size_t fields;
    } cases[] = {
        {"cut inside the picture", 0, 2},
        {"cut inside the display block", 10, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RepairWallet w;
        const std::size_t keep = c.keep != 0 ? c.keep : w.visaFields + 12 + 48 + 100;
        w.bytes().resize(w.visa + RecordHeader::kSize + keep);
        WalletFile wallet(w.t.env);
        ASSERT_EQ(wallet.openWithRepair(kWalletPath, kPassword, false), OpenResult::Ok);
        EXPECT_EQ(w.t.prompt.shown.back().text.substr(0, 11), u"1 repairs w");
        ASSERT_EQ(wallet.index().count(), 4u);
        EXPECT_EQ(wallet.nameOf(3), u"Visa");
        std::unique_ptr<Card> card = wallet.loadCard(wallet.index().at(3).id());
        ASSERT_TRUE(card);
        EXPECT_EQ(card->fieldCount(), c.fields);
        EXPECT_FALSE(card->picture().hasData());
        EXPECT_EQ(card->droppedItems(), 0u) << "the record ends after its last whole item";
        const std::size_t body = getU32(w.bytes().data(), w.visa + RecordHeader::kBodyLength);
        EXPECT_EQ(body, c.keep != 0 ? 64u : w.visaFields);
        EXPECT_EQ(w.bytes().size(), w.visa + RecordHeader::kSize + body);
        if (c.keep != 0) {
            // The ten bytes the file held, then the wallet's default display words.
            EXPECT_EQ(std::vector<std::uint8_t>(w.bytes().begin() + static_cast<std::ptrdiff_t>(w.visa + 748),
                                                w.bytes().begin() + static_cast<std::ptrdiff_t>(w.visa + 758)),
                      std::vector<std::uint8_t>(w.sound.begin() + static_cast<std::ptrdiff_t>(w.visa + 748),
                                                w.sound.begin() + static_cast<std::ptrdiff_t>(w.visa + 758)));
            EXPECT_EQ(card->display().words[11], 9u);
        }
    }
}

// A last record the file does not hold whole (an append cut short) leaves a read-only open
// readable, up to that record; a writer's repair then keeps what the file holds of it.
TEST(RepairScan, ReadersPassOverALastRecordCutShort) {
    const struct {
        const char* what;
        std::size_t keep;  // bytes of Visa's record left in the file
        std::size_t fields;
    } cases[] = {
        {"a few bytes of the type identifier", 5, 0},
        {"inside the header", 400, 0},
        {"the header alone", RecordHeader::kSize, 0},
        {"inside the body", 0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RepairWallet w;
        const std::size_t keep = c.keep != 0 ? c.keep : RecordHeader::kSize + w.visaFields + 100;
        w.bytes().resize(w.visa + keep);
        {
            WalletFile reader(w.t.env);
            ASSERT_EQ(reader.readAll(kWalletPath, kPassword, true), OpenResult::Ok);
            EXPECT_EQ(reader.index().count(), 3u);
            ASSERT_TRUE(reader.cutShortAt());
            EXPECT_EQ(*reader.cutShortAt(), w.visa);
        }
        WalletFile writer(w.t.env);
        EXPECT_EQ(writer.readAll(kWalletPath, kPassword, false), OpenResult::Damaged);
        ASSERT_EQ(writer.openWithRepair(kWalletPath, kPassword, false), OpenResult::Ok);
        EXPECT_FALSE(writer.cutShortAt());
        if (keep < RecordHeader::kSize) {
            EXPECT_EQ(writer.index().count(), 3u);
            continue;
        }
        ASSERT_EQ(writer.index().count(), 4u);
        EXPECT_EQ(writer.nameOf(3), u"Visa");
        std::unique_ptr<Card> card = writer.loadCard(writer.index().at(3).id());
        ASSERT_TRUE(card);
        EXPECT_EQ(card->fieldCount(), c.fields);
    }
    // Bytes after the last record that do not start like one are damage, not a cut-short record.
    RepairWallet w;
    w.bytes().insert(w.bytes().end(), 100, 0x55);
    WalletFile reader(w.t.env);
    EXPECT_EQ(reader.readAll(kWalletPath, kPassword, true), OpenResult::Damaged);
}

// Appends write the record whole in one call: header, icon data and body.
TEST(RepairScan, AnAppendIsOneWrite) {
    RepairWallet w;
    WalletFile wallet(w.t.env);
    ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
    std::unique_ptr<Card> card = wallet.loadCard(wallet.index().at(3).id());
    ASSERT_TRUE(card);
    card->header()->setId(recordIds().next(w.t.env.random, w.t.clock.localTime()));
    const std::uint64_t before = w.t.files.faults().writes;
    ASSERT_GE(wallet.appendCard(*card), 0);
    EXPECT_EQ(w.t.files.faults().writes - before, 1u);
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

// Ranges copied between files on disk arrive byte for byte at the new file's position, whether
// they keep their place within a page (the kernel copies) or move within it (through the buffer,
// in writes that end on page boundaries), with buffers of every size.
TEST(WalletOnDisk, CopiedRangesArriveWhole) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("tw-copy-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    PosixFileSystem files;
    FixedClock clock{SystemTime{2026, 12, 4, 10, 9, 30, 15, 0}};
    SequenceRandom random{1};
    StringTable strings;
    ScriptedPrompt prompt;
    FakeSystem system;
    Env env{files, clock, random, strings, prompt, system};
    WalletFile wallet(env);

    std::vector<std::uint8_t> source(4 * 4096 + 777);
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    const std::string from = (dir / "from").string();
    {
        std::unique_ptr<File> f = files.open(from, OpenMode::CreateNew);
        ASSERT_TRUE(f);
        ASSERT_EQ(writeBlock(f.get(), source.data(), source.size()), FileResult::Done);
    }
    struct Case {
        std::size_t before;  // bytes the new file holds already
        std::uint64_t offset;
        std::uint64_t length;
    };
    const Case cases[] = {
        {0, 0, source.size()},         // the whole file, in place
        {100, 100, 9000},              // same place within the page, from mid-page
        {10, 2000, 12000},             // moved within the page
        {4095, 1, source.size() - 1},  // moved by one byte short of a page
        {0, 4097, 5000},               // to a page boundary from just past one
        {3, 5, 2},                     // a few bytes inside one page
    };
    const std::uint64_t memories[] = {64ull << 20, 4 * 5000, 4 * 1024};
    for (const std::uint64_t memory : memories) {
        system.memory = memory;
        for (const Case& c : cases) {
            SCOPED_TRACE("memory " + std::to_string(memory) + ", before " + std::to_string(c.before) + ", offset " +
                         std::to_string(c.offset) + ", length " + std::to_string(c.length));
            const std::string to = (dir / "to").string();
            files.remove(to);
            std::unique_ptr<File> in = files.open(from, OpenMode::Read);
            std::unique_ptr<File> out = files.open(to, OpenMode::CreateNew);
            ASSERT_TRUE(in && out);
            const std::vector<std::uint8_t> head(c.before, 0xA5);
            if (!head.empty()) {
                ASSERT_EQ(writeBlock(out.get(), head.data(), head.size()), FileResult::Done);
            }
            ASSERT_TRUE(wallet.copyRange(*in, c.offset, c.length, *out));
            EXPECT_EQ(out->position(), c.before + c.length);
            std::vector<std::uint8_t> expected = head;
            expected.insert(expected.end(), source.begin() + static_cast<std::ptrdiff_t>(c.offset),
                            source.begin() + static_cast<std::ptrdiff_t>(c.offset + c.length));
            std::vector<std::uint8_t> got(expected.size() + 1);
            std::size_t read = 0;
            ASSERT_TRUE(out->seekTo(0));
            ASSERT_TRUE(out->read(got.data(), got.size(), &read));
            got.resize(read);
            EXPECT_EQ(got, expected);
        }
    }
    fs::remove_all(dir);
}

// Wallets in a temporary folder, with writers that each have a file system of their own, as
// two programs would.
struct DiskWallets {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("tw-locks-" + std::to_string(::getpid()));
    std::string path = (dir / "wallet.tm5").string();
    FixedClock clock{SystemTime{2026, 12, 4, 10, 9, 30, 15, 0}};
    SequenceRandom random{1};
    StringTable strings;
    ScriptedPrompt prompt;
    FakeSystem system;

    struct Program {
        PosixFileSystem files;
        SequenceRandom random;
        Env env;
        Program(DiskWallets& d, std::uint32_t seed)
            : random(seed), env{files, d.clock, random, d.strings, d.prompt, d.system} {}
    };

    DiskWallets() {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        Program p(*this, 1);
        EXPECT_EQ(createWallet(p.env, path, kPassword, std::nullopt, true), CreateResult::Ok);
    }
    ~DiskWallets() { std::filesystem::remove_all(dir); }

    static bool addFolder(WalletFile& w, const std::u16string& name) {
        RecordHeader h = w.newFolder(RecordId{}, false);
        h.putName(name, w.recordKey());
        return w.appendFolder(h) >= 0;
    }
    std::vector<std::u16string> names() {
        Program p(*this, 9);
        WalletFile w(p.env);
        EXPECT_EQ(w.readAll(path, kPassword, true), OpenResult::Ok);
        std::vector<std::u16string> all;
        for (std::size_t i = 0; i < w.index().count(); ++i) all.push_back(w.nameOf(i));
        return all;
    }
};

// One writer opens the wallet; before it locks it, another writer changes it and replaces the
// file whole. The first must write into the new file, not the replaced one, or its change is lost.
TEST(WalletOnDisk, AWriterLockingAReplacedFileOpensTheNewOne) {
    DiskWallets d;
    DiskWallets::Program first(d, 2);
    DiskWallets::Program second(d, 3);
    int calls = 0;
    first.files.betweenOpenAndLock = [&](const std::string& p) {
        if (p != d.path || calls++ != 0) return;
        WalletFile other(second.env);
        ASSERT_EQ(other.readAll(d.path, kPassword, false), OpenResult::Ok);
        ASSERT_TRUE(DiskWallets::addFolder(other, u"Second"));
        ASSERT_TRUE(other.remove(0));  // replaces the file whole
    };
    {
        WalletFile w(first.env);
        ASSERT_EQ(w.readAll(d.path, kPassword, false), OpenResult::Ok);
        ASSERT_TRUE(DiskWallets::addFolder(w, u"First"));
    }
    EXPECT_EQ(calls, 2) << "the replaced file was opened again";
    const auto names = d.names();
    EXPECT_NE(std::find(names.begin(), names.end(), u"Second"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), u"First"), names.end()) << "the first writer's change was lost";
}

// A writer waits for the lock as long as it is told to; the holder is named.
TEST(WalletOnDisk, WritersWaitForTheLockAndNameWhoHoldsIt) {
    DiskWallets d;
    DiskWallets::Program holder(d, 2);
    DiskWallets::Program waiter(d, 3);
    auto held = std::make_unique<WalletFile>(holder.env);
    ASSERT_EQ(held->readAll(d.path, kPassword, false), OpenResult::Ok);

    const std::optional<std::string> who = waiter.files.lockHolder(d.path);
    ASSERT_TRUE(who);
    EXPECT_NE(who->find("process " + std::to_string(::getpid())), std::string::npos) << *who;
    {
        WalletFile w(waiter.env);
        EXPECT_EQ(w.readAll(d.path, kPassword, false), OpenResult::CannotOpen) << "no wait: fails at once";
        WalletFile reader(waiter.env);
        EXPECT_EQ(reader.readAll(d.path, kPassword, true), OpenResult::Ok) << "a reader reads beside a writer";
    }

    waiter.files.setLockWait(std::chrono::seconds(10));
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        held.reset();
    });
    WalletFile w(waiter.env);
    EXPECT_EQ(w.readAll(d.path, kPassword, false), OpenResult::Ok);
    release.join();

    // While a reader reads, writers wait for it.
    w.close();
    WalletFile reader(holder.env);
    ASSERT_EQ(reader.readAll(d.path, kPassword, true), OpenResult::Ok);
    waiter.files.setLockWait(std::chrono::milliseconds(0));
    EXPECT_EQ(w.readAll(d.path, kPassword, false), OpenResult::CannotOpen);
    reader.close();
    EXPECT_EQ(w.readAll(d.path, kPassword, false), OpenResult::Ok);
}

// A rewrite by an administrator keeps the wallet its owner's: the new file gets the old one's
// owner, group, mode and extended attributes before it is renamed in.
TEST(WalletOnDisk, ARewriteKeepsOwnerGroupModeAndAttributes) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a file another user's ownership";
    DiskWallets d;
    ASSERT_EQ(::chown(d.path.c_str(), 4321, 4322), 0);
    ASSERT_EQ(::chmod(d.path.c_str(), 0640), 0);
    const bool attributes = ::setxattr(d.path.c_str(), "user.origin", "kept", 4, 0) == 0;  // tmpfs may refuse
    {
        DiskWallets::Program admin(d, 2);
        WalletFile w(admin.env);
        ASSERT_EQ(w.readAll(d.path, kPassword, false), OpenResult::Ok);
        ASSERT_TRUE(w.remove(0));  // replaces the file whole
    }
    struct stat st {};
    ASSERT_EQ(::stat(d.path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (attributes) {
        char value[8] = {};
        EXPECT_EQ(::getxattr(d.path.c_str(), "user.origin", value, sizeof value), 4);
        EXPECT_EQ(std::string(value), "kept");
    }
}

// When the new file cannot be given them, the change is refused and the wallet stays as it was.
TEST(WalletOnDisk, ARewriteThatCannotKeepTheOwnerIsRefused) {
    test::TestEnv t;
    ASSERT_EQ(createWallet(t.env, kWalletPath, kPassword, std::nullopt, true), CreateResult::Ok);
    WalletFile w(t.env);
    ASSERT_EQ(w.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
    const std::vector<std::uint8_t> before = t.files.bytes(kWalletPath);
    t.files.failIdentity(true);
    EXPECT_FALSE(w.remove(0));
    EXPECT_EQ(w.writeProblem(), WriteProblem::OwnerNotKept);
    EXPECT_EQ(t.files.bytes(kWalletPath), before);
    EXPECT_FALSE(t.files.exists(kWalletPath + ".~new"));
}

}  // namespace
}  // namespace tw
