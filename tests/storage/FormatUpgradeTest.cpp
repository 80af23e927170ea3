// Upgrading old-format wallets: the question, the re-encipher pass over every item, progress,
// and a wallet that survives a failure at any write of the upgrade.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

#include "model/Card.h"
#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/FormatUpgrade.h"
#include "support/CardFixtures.h"
#include "support/OldWalletBuilder.h"
#include "support/TestEnv.h"

namespace tw {
namespace {

using test::kPassword;
using test::kWalletPath;

const SystemTime kCreated{2005, 3, 2, 15, 8, 40, 12, 0};

// A card with one field, a picture, a sound and one attached file.
Card sampleCard(const StringTable& strings, std::size_t pictureSize = 1001) {
    Card card;
    card.display() = CardDisplay::walletDefault();
    Field* field = card.newField(1, strings);
    field->setName(u"PIN");
    field->setValue(u"4711");
    card.picture().set(test::testBytes(pictureSize, 3), u"Sunset.jpg");
    card.sound().set(test::testBytes(998, 5), u"Alarm.wav");
    card.file(0).set(test::testBytes(70, 9), u"notes.txt");
    return card;
}

std::vector<std::uint8_t> bodyOf(const Card& card) {
    std::vector<std::uint8_t> body;
    card.serializeBody(test::testRecordKey(), &body);
    return body;
}

struct Entry {
    std::u16string name;
    RecordType type;
    std::vector<std::uint8_t> body;  // a card's content, serialised under a fixed key
    friend bool operator==(const Entry&, const Entry&) = default;
};
using Contents = std::map<RecordId, Entry>;

// Every live record of an open wallet with its name and content.
Contents contentsOf(WalletFile& w) {
    Contents c;
    for (std::size_t i = 0; i < w.index().count(); ++i) {
        const IndexEntry& h = w.index().at(i);
        Entry e{w.nameOf(i), h.type(), {}};
        if (h.type() == RecordType::Card) {
            std::unique_ptr<Card> card = w.loadCard(h.id());
            EXPECT_TRUE(card) << "card " << toUtf8(e.name) << " cannot be loaded";
            if (card) e.body = bodyOf(*card);
        }
        c[h.id()] = e;
    }
    return c;
}

// An old wallet with a folder, the forms folder and a card holding every kind of item.
struct OldWallet {
    std::vector<std::uint8_t> bytes;
    Contents expected;
};

OldWallet oldWallet(const StringTable& strings, std::size_t pictureSize = 1001) {
    test::OldTm5Builder b(kPassword, kCreated);
    OldWallet w;
    const RecordId bank = b.addFolder(u"Bank");
    w.expected[bank] = {u"Bank", RecordType::Folder, {}};
    const RecordId forms = b.addFolder(u"My Forms", {}, RecordType::FormsFolder);
    w.expected[forms] = {u"My Forms", RecordType::FormsFolder, {}};
    const Card card = sampleCard(strings, pictureSize);
    const RecordId visa = b.addCard(u"Visa", bank, card);
    w.expected[visa] = {u"Visa", RecordType::Card, bodyOf(card)};
    b.addDeletionMarker(u"Gone");
    w.bytes = b.bytes();
    return w;
}

// Progress reports with the number of pauses seen at each, so their order can be checked.
struct Recorder final : UpgradeProgress {
    explicit Recorder(FakeSystem& system) : system(system) {}
    void update(std::uint64_t done, std::uint64_t total) override { reports.push_back({done, total, system.pauses}); }
    void finish() override { ++finished; }
    struct Report {
        std::uint64_t done, total;
        unsigned pausesBefore;
    };
    FakeSystem& system;
    std::vector<Report> reports;
    int finished = 0;
};

std::size_t questionsShown(const ScriptedPrompt& prompt, Icon icon) {
    std::size_t n = 0;
    for (const Message& m : prompt.shown) n += m.icon == icon;
    return n;
}

TEST(FormatUpgrade, UpgradesEveryItemAndReopensCurrent) {
    test::TestEnv t;
    const OldWallet old = oldWallet(t.strings);
    t.files.setBytes(kWalletPath, old.bytes);
    Recorder progress(t.system);

    WalletFile w(t.env);
    const UpgradeOutcome u = openOrUpgrade(w, kWalletPath, kPassword, false, &progress);
    ASSERT_EQ(u.open, OpenResult::Ok);
    ASSERT_EQ(u.pass, ReencryptResult::Done);
    EXPECT_FALSE(w.oldFormat());
    EXPECT_EQ(contentsOf(w), old.expected);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(w.header().raw.data() + HeaderBlock::kVersionAt)), "(6.50) ");
    ReencryptStats stats;
    stats.folders = 1;
    stats.formsFolders = 1;
    stats.cards = 2;  // the card and the deletion marker
    stats.fields = 1;
    stats.pictures = 1;
    stats.sounds = 1;
    stats.fileAttachments = 1;
    stats.largestData = 1004;
    EXPECT_EQ(u.stats, stats);

    // Asked once, told once.
    ASSERT_EQ(t.prompt.shown.size(), 2u);
    EXPECT_EQ(t.prompt.shown[0].caption, u"Tallowmere Pro 6");
    EXPECT_EQ(t.prompt.shown[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(t.prompt.shown[1].text, kUpgradedMessage);
    EXPECT_EQ(t.prompt.shown[1].icon, Icon::Information);

    // Every report is followed by its pause, positions never go back, and the bar is finished.
    ASSERT_FALSE(progress.reports.empty());
    for (std::size_t i = 0; i < progress.reports.size(); ++i) {
        EXPECT_EQ(progress.reports[i].pausesBefore, i);
        EXPECT_EQ(progress.reports[i].total, old.bytes.size());
        if (i > 0) {
            EXPECT_GE(progress.reports[i].done, progress.reports[i - 1].done);
        }
    }
    EXPECT_EQ(progress.reports.back().done, old.bytes.size());
    EXPECT_EQ(progress.finished, 1);
    w.close();

    // Current now: it opens without a question.
    t.prompt.shown.clear();
    EXPECT_EQ(w.readAll(kWalletPath, kPassword, true), OpenResult::Ok);
    EXPECT_TRUE(t.prompt.shown.empty());
    EXPECT_EQ(contentsOf(w), old.expected);
}

TEST(FormatUpgrade, WalletWithoutPasswordIsAskedAndUpgradedToo) {
    test::TestEnv t;
    test::OldTm5Builder b(std::nullopt, kCreated);
    const RecordId folder = b.addFolder(u"Open");
    t.files.setBytes(kWalletPath, b.bytes());
    WalletFile w(t.env);
    const UpgradeOutcome u = openOrUpgrade(w, kWalletPath, std::nullopt, false, nullptr);
    ASSERT_EQ(u.open, OpenResult::Ok);
    EXPECT_TRUE(w.unprotected());
    EXPECT_EQ(questionsShown(t.prompt, Icon::Question), 1u);
    EXPECT_EQ(w.nameOf(static_cast<std::size_t>(w.index().find(folder))), u"Open");
}

TEST(FormatUpgrade, DecliningOrOnlyOpeningLeavesTheFileAsItWas) {
    test::TestEnv t;
    const OldWallet old = oldWallet(t.strings);
    t.files.setBytes(kWalletPath, old.bytes);
    WalletFile w(t.env);

    t.prompt.answers = {Answer::Cancel};
    EXPECT_EQ(openOrUpgrade(w, kWalletPath, kPassword, false, nullptr).open, OpenResult::UpgradeDeclined);
    EXPECT_FALSE(w.isOpen());
    EXPECT_EQ(t.files.bytes(kWalletPath), old.bytes);

    // Agreeing and then not upgrading (a caller that only opens) writes nothing either, flush
    // included: the old record key stays in the file.
    EXPECT_EQ(w.readAll(kWalletPath, kPassword, false), OpenResult::OldFormat);
    EXPECT_EQ(w.flush(), 0);
    // Nor can records be written under the new key into a file whose records are under the old.
    EXPECT_EQ(w.appendFolder(w.newFolder(RecordId{}, false)), -1);
    EXPECT_FALSE(w.rename(0, u"other name"));
    EXPECT_FALSE(w.remove(0));
    w.close();
    EXPECT_EQ(t.files.bytes(kWalletPath), old.bytes);

    EXPECT_EQ(w.open(kWalletPath, u"wrong one", false), OpenResult::WrongPassword);
    EXPECT_EQ(t.files.bytes(kWalletPath), old.bytes);
}

TEST(FormatUpgrade, DamagedOldWalletIsRepairedBeforeItsUpgradeWithOneQuestion) {
    test::TestEnv t;
    test::OldTm5Builder b(kPassword, kCreated);
    const RecordId a = b.addFolder(u"First");
    std::vector<std::uint8_t> bytes = b.bytes();
    bytes.insert(bytes.end(), 100, 0xEE);  // garbage between two records
    test::OldTm5Builder second(kPassword, kCreated);
    second.addFolder(u"skipped");
    const RecordId c = second.addFolder(u"Second");
    const std::vector<std::uint8_t> tail = second.bytes();
    const std::size_t record = RecordHeader::kSize;
    bytes.insert(bytes.end(), tail.end() - static_cast<std::ptrdiff_t>(record), tail.end());
    t.files.setBytes(kWalletPath, bytes);

    t.prompt.answers = {Answer::Ok, Answer::Yes, Answer::Ok};  // upgrade, repair, repair warning
    WalletFile w(t.env);
    const UpgradeOutcome u = openOrUpgrade(w, kWalletPath, kPassword, false, nullptr);
    ASSERT_EQ(u.open, OpenResult::Ok);
    EXPECT_EQ(questionsShown(t.prompt, Icon::Question), 1u);
    EXPECT_EQ(w.nameOf(static_cast<std::size_t>(w.index().find(a))), u"First");
    EXPECT_EQ(w.nameOf(static_cast<std::size_t>(w.index().find(c))), u"Second");
}

TEST(FormatUpgrade, ReadOnlyOpenStillUpgradesThenOpensReadOnly) {
    test::TestEnv t;
    const OldWallet old = oldWallet(t.strings);
    t.files.setBytes(kWalletPath, old.bytes);
    WalletFile w(t.env);
    const UpgradeOutcome u = openOrUpgrade(w, kWalletPath, kPassword, true, nullptr);
    ASSERT_EQ(u.open, OpenResult::Ok);
    EXPECT_TRUE(w.readOnly());
    EXPECT_EQ(questionsShown(t.prompt, Icon::Question), 1u);
    EXPECT_EQ(contentsOf(w), old.expected);
}

// Every write of the upgrade in turn fails (or is short). The wallet must then still be the old
// one byte for byte, and a later upgrade must give every record intact. A half-written new file
// left by an interruption does not stand in the way.
TEST(FormatUpgrade, FailureAtAnyWriteLeavesTheOldWalletWhole) {
    test::TestEnv clean;
    const OldWallet old = oldWallet(clean.strings);
    clean.files.setBytes(kWalletPath, old.bytes);
    std::uint64_t writes = 0;
    {
        WalletFile w(clean.env);
        ASSERT_EQ(openOrUpgrade(w, kWalletPath, kPassword, false, nullptr).open, OpenResult::Ok);
        writes = clean.files.faults().writes;
    }
    ASSERT_GT(writes, 3u);  // the three blocks, then the records

    for (std::uint64_t k = 1; k <= writes; ++k) {
        for (const bool shortWrite : {false, true}) {
            test::TestEnv t;
            t.files.setBytes(kWalletPath, old.bytes);
            t.files.setBytes(kWalletPath + ".~new", {1, 2, 3});  // left by an interrupted run
            (shortWrite ? t.files.faults().shortWriteAt : t.files.faults().failWriteAt) = k;
            WalletFile w(t.env);
            const UpgradeOutcome u = openOrUpgrade(w, kWalletPath, kPassword, false, nullptr);
            EXPECT_EQ(u.open, OpenResult::OldFormat) << "write " << k;
            EXPECT_NE(u.pass, ReencryptResult::Done) << "write " << k;
            EXPECT_FALSE(w.isOpen());
            EXPECT_EQ(t.files.bytes(kWalletPath), old.bytes) << "write " << k << (shortWrite ? " short" : " failed");
            EXPECT_FALSE(t.files.exists(kWalletPath + ".~new"));

            t.files.resetFaults();
            const UpgradeOutcome again = openOrUpgrade(w, kWalletPath, kPassword, false, nullptr);
            ASSERT_EQ(again.open, OpenResult::Ok) << "write " << k;
            EXPECT_EQ(contentsOf(w), old.expected) << "write " << k;
        }
    }
}

// ---- The pass on its own --------------------------------------------------------------------

// A file over bytes in memory that records the size of every read and write and can fail one.
class TracingFile final : public File {
public:
    explicit TracingFile(std::vector<std::uint8_t> bytes)
        : m_bytes(std::make_shared<std::vector<std::uint8_t>>(std::move(bytes))), m_file(makeMemoryFile(m_bytes)) {}

    bool read(void* buffer, std::size_t count, std::size_t* done) override {
        reads.push_back(count);
        if (reads.size() == failRead) return *done = 0, false;
        if (reads.size() == shortRead) count /= 2;
        return m_file->read(buffer, count, done);
    }
    bool write(const void* buffer, std::size_t count, std::size_t* done) override {
        writes.push_back(count);
        if (writes.size() == failWrite) return *done = 0, false;
        return m_file->write(buffer, count, done);
    }
    bool seek(std::int64_t offset, SeekFrom from, std::uint64_t* position) override {
        return m_file->seek(offset, from, position);
    }
    bool size(std::uint64_t* size) override { return m_file->size(size); }
    bool truncateHere() override { return m_file->truncateHere(); }
    bool flush() override { return true; }

    const std::vector<std::uint8_t>& bytes() const { return *m_bytes; }
    std::vector<std::size_t> reads, writes;
    std::size_t failRead = 0, shortRead = 0, failWrite = 0;  // 1-based call numbers; 0 never

private:
    std::shared_ptr<std::vector<std::uint8_t>> m_bytes;
    std::unique_ptr<File> m_file;
};

const KeyRecord& newKey() {
    static const KeyRecord key = [] {
        KeyRecord k;
        const Key16 bytes = makeRecordKey(kPassword, KeyRecord{});
        k.set(bytes.data());
        return k;
    }();
    return key;
}

// The records of an old-format file, as the pass reads them.
std::vector<std::uint8_t> recordsOf(const std::vector<std::uint8_t>& file) {
    return std::vector<std::uint8_t>(file.begin() + static_cast<std::ptrdiff_t>(WalletFile::kFirstRecord), file.end());
}

struct PassRun {
    ReencryptResult result;
    ReencryptStats stats;
};

// By default item by item: every read and write is the item's own call.
PassRun runPass(TracingFile& in, TracingFile& out, const KeyRecord& oldKey, std::size_t chunk = 0,
                bool passwordChange = false) {
    FakeSystem system;
    ReencryptContext c{in, out, oldKey, newKey(), system, kCreated, nullptr, {}, passwordChange, chunk};
    const ReencryptResult r = reencryptPass(c);
    return {r, c.stats};
}

// Reads the records a pass wrote: names and bodies under the new key.
std::vector<std::pair<std::u16string, std::unique_ptr<Card>>> readBack(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::pair<std::u16string, std::unique_ptr<Card>>> records;
    auto file = makeMemoryFile(std::make_shared<std::vector<std::uint8_t>>(bytes), false);
    for (;;) {
        RecordHeader h;
        std::uint64_t consumed = 0;
        if (readRecord(file.get(), h, &consumed) != FileResult::Done) break;
        std::unique_ptr<Card> card;
        if (h.type() == RecordType::Card && h.bodyLength() > 0) {
            card = std::make_unique<Card>();
            EXPECT_TRUE(card->readBody(file.get(), h.bodyLength(), newKey()));
        }
        records.emplace_back(h.name(newKey()), std::move(card));
    }
    return records;
}

TEST(ReencryptPass, LargePictureGoesThroughInBlocksAndDeciphersIntact) {
    test::TestEnv t;
    Card card;
    card.picture().set(test::testBytes(299997, 7), u"big.bmp");  // 300000 bytes with its padding
    test::OldTm5Builder b(kPassword, kCreated);
    b.addCard(u"Picture", {}, card);
    TracingFile in(recordsOf(b.bytes()));
    TracingFile out({});

    const PassRun run = runPass(in, out, b.storedKey());
    ASSERT_EQ(run.result, ReencryptResult::Done);
    EXPECT_EQ(run.stats.largestData, 300000u);
    EXPECT_EQ(run.stats.pictures, 1u);
    // header, display, head, descriptor, then the data blocks
    ASSERT_GE(out.writes.size(), 7u);
    EXPECT_EQ(std::vector<std::size_t>(out.writes.begin() + 4, out.writes.begin() + 7),
              (std::vector<std::size_t>{131072, 131072, 37856}));
    EXPECT_EQ(out.bytes().size(), in.bytes().size());

    const auto records = readBack(out.bytes());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].first, u"Picture");
    ASSERT_TRUE(records[0].second);
    EXPECT_EQ(records[0].second->picture().data(), card.picture().data());
    EXPECT_EQ(records[0].second->picture().name(), u"big.bmp");
}

TEST(ReencryptPass, EmptyCardIsCountedAndRenamedWithoutReadingSubRecords) {
    test::OldTm5Builder b(kPassword, kCreated);
    b.addCard(u"Empty", {}, Card());
    TracingFile in(recordsOf(b.bytes()));
    TracingFile out({});
    const PassRun run = runPass(in, out, b.storedKey());
    ASSERT_EQ(run.result, ReencryptResult::Done);
    EXPECT_EQ(run.stats.cards, 1u);
    EXPECT_EQ(in.reads, (std::vector<std::size_t>{RecordHeader::kSize, 64, RecordHeader::kSize}));
    const auto records = readBack(out.bytes());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].first, u"Empty");
    RecordHeader h;
    std::memcpy(h.raw.data(), out.bytes().data(), RecordHeader::kSize);
    EXPECT_TRUE(h.changeFlags() & change::kRenamed);
}

TEST(ReencryptPass, ItemThatDoesNotFitItsSubRecordIsCarriedAndTheRestUpgraded) {
    test::TestEnv t;
    const Card card = sampleCard(t.strings);
    test::OldTm5Builder b(kPassword, kCreated);
    std::vector<std::uint8_t> body;
    card.serializeBody(b.storedKey(), &body);
    // The field is the first sub-record: make its name longer than the sub-record.
    putU32(body.data(), 64 + 12 + Field::kNameStored, 0x7FFFFFFF);
    b.addCardBody(u"Bent", {}, body);
    TracingFile in(recordsOf(b.bytes()));
    TracingFile out({});
    ASSERT_EQ(runPass(in, out, b.storedKey()).result, ReencryptResult::Done);
    EXPECT_EQ(out.bytes().size(), in.bytes().size());
    const auto records = readBack(out.bytes());
    ASSERT_EQ(records.size(), 1u);
    ASSERT_TRUE(records[0].second);
    EXPECT_EQ(records[0].second->fieldCount(), 0u);
    EXPECT_EQ(records[0].second->droppedItems(), 1u);
    EXPECT_EQ(records[0].second->picture().data(), card.picture().data());
    EXPECT_EQ(records[0].second->sound().data(), card.sound().data());
    EXPECT_EQ(records[0].second->file(0).data(), card.file(0).data());
}

TEST(ReencryptPass, EmptyTextWithAPaddingCountIsNoObstacle) {
    Card card;
    card.addField(Field());
    card.field(0).setName(u"Login");
    test::OldTm5Builder b(kPassword, kCreated);
    std::vector<std::uint8_t> body;
    ASSERT_TRUE(card.serializeBody(b.storedKey(), &body));
    // The empty value (stored size 0) carries a padding count of 4.
    putU32(body.data(), 64 + 12 + Field::kValuePadding, 4);
    b.addCardBody(u"Padded", {}, body);
    TracingFile in(recordsOf(b.bytes()));
    TracingFile out({});
    ASSERT_EQ(runPass(in, out, b.storedKey()).result, ReencryptResult::Done);
    const auto records = readBack(out.bytes());
    ASSERT_EQ(records.size(), 1u);
    ASSERT_TRUE(records[0].second);
    ASSERT_EQ(records[0].second->fieldCount(), 1u);
    EXPECT_EQ(records[0].second->field(0).name(), u"Login");
}

TEST(ReencryptPass, EveryFailingReadOrWriteEndsWithItsPartsCode) {
    test::TestEnv t;
    Card card = test::fullCard(t.strings);  // list fields, a picture, a sound and ten files
    test::OldTm5Builder b(kPassword, kCreated);
    b.addFolder(u"Folder");
    b.addCard(u"Full", {}, card);
    const std::vector<std::uint8_t> records = recordsOf(b.bytes());

    TracingFile cleanIn(records), cleanOut({});
    ASSERT_EQ(runPass(cleanIn, cleanOut, b.storedKey()).result, ReencryptResult::Done);

    auto codes = [&](auto arm, std::size_t calls) {
        std::set<int> seen;
        for (std::size_t k = 1; k <= calls; ++k) {
            TracingFile in(records), out({});
            arm(in, out, k);
            const ReencryptResult r = runPass(in, out, b.storedKey()).result;
            seen.insert(static_cast<int>(r));
        }
        return seen;
    };
    // The last read is the one that meets the end of the file, which cannot fail short.
    const std::set<int> writeCodes =
        codes([](TracingFile&, TracingFile& out, std::size_t k) { out.failWrite = k; }, cleanOut.writes.size());
    EXPECT_EQ(writeCodes, (std::set<int>{3, 10, 20, 30, 44, 48, 54, 58, 64, 68}));
    const std::set<int> readCodes =
        codes([](TracingFile& in, TracingFile&, std::size_t k) { in.failRead = k; }, cleanIn.reads.size());
    EXPECT_EQ(readCodes, (std::set<int>{2, 5, 7, 13, 23, 33, 40, 43, 45, 50, 53, 55, 60, 63, 65}));
    const std::set<int> shortCodes =
        codes([](TracingFile& in, TracingFile&, std::size_t k) { in.shortRead = k; }, cleanIn.reads.size() - 1);
    EXPECT_TRUE(shortCodes.count(6));
    EXPECT_FALSE(shortCodes.count(0));
}

// Through buffers the pass writes the same bytes as item by item, with refills that fall inside
// items and reads longer than the buffer alike, and meets the files with a few large calls.
TEST(ReencryptPass, BufferedPassWritesTheSameBytesWithFewCalls) {
    test::TestEnv t;
    test::OldTm5Builder b(kPassword, kCreated);
    const RecordId folder = b.addFolder(u"Folder");
    b.addCard(u"Full", folder, test::fullCard(t.strings));
    b.addDeletionMarker(u"Gone");
    Card big;
    big.picture().set(test::testBytes(299997, 7), u"big.bmp");
    b.addCard(u"Picture", folder, big);
    b.addCard(u"Small", folder, sampleCard(t.strings, 10));
    const std::vector<std::uint8_t> records = recordsOf(b.bytes());

    for (const bool passwordChange : {false, true}) {
        TracingFile itemIn(records), itemOut({});
        ASSERT_EQ(runPass(itemIn, itemOut, b.storedKey(), 0, passwordChange).result, ReencryptResult::Done);
        for (const std::size_t chunk : {std::size_t{1000}, std::size_t{4099}, kReencryptChunk}) {
            SCOPED_TRACE(chunk);
            TracingFile in(records), out({});
            const PassRun run = runPass(in, out, b.storedKey(), chunk, passwordChange);
            ASSERT_EQ(run.result, ReencryptResult::Done);
            EXPECT_EQ(out.bytes(), itemOut.bytes());
            if (chunk == kReencryptChunk) {
                EXPECT_EQ(in.reads.size(), 2u);  // the file, then its end
                EXPECT_EQ(out.writes.size(), 1u);
            }
        }
    }

    // A failing read or write of a buffer ends the pass with a failure, whichever it is.
    const std::vector<std::uint8_t> small = recordsOf([&] {
        test::OldTm5Builder s(kPassword, kCreated);
        s.addCard(u"Full", {}, test::fullCard(t.strings));
        return s.bytes();
    }());
    TracingFile cleanIn(small), cleanOut({});
    ASSERT_EQ(runPass(cleanIn, cleanOut, b.storedKey(), 1000).result, ReencryptResult::Done);
    for (std::size_t k = 1; k <= cleanIn.reads.size(); ++k) {
        TracingFile in(small), out({});
        in.failRead = k;
        EXPECT_NE(runPass(in, out, b.storedKey(), 1000).result, ReencryptResult::Done) << "read " << k;
    }
    for (std::size_t k = 1; k <= cleanOut.writes.size(); ++k) {
        TracingFile in(small), out({});
        out.failWrite = k;
        EXPECT_NE(runPass(in, out, b.storedKey(), 1000).result, ReencryptResult::Done) << "write " << k;
    }
}

TEST(ReencryptPass, CardBodyShorterThanItsDisplayBlockStopsThePass) {
    test::OldTm5Builder b(kPassword, kCreated);
    b.addCardBody(u"Short", {}, std::vector<std::uint8_t>(10, 0));
    TracingFile in(recordsOf(b.bytes())), out({});
    EXPECT_EQ(runPass(in, out, b.storedKey()).result, ReencryptResult::BodyTooShort);

    // A record cut short by the end of the file.
    std::vector<std::uint8_t> cut = recordsOf(b.bytes());
    cut.resize(RecordHeader::kSize + 4);
    TracingFile cutIn(cut), cutOut({});
    EXPECT_EQ(runPass(cutIn, cutOut, b.storedKey()).result, ReencryptResult::HeaderUnreadable);
}

}  // namespace
}  // namespace tw
