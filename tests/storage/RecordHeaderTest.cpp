#include <gtest/gtest.h>

#include "platform/MemoryFile.h"
#include "storage/Bytes.h"
#include "storage/RecordHeader.h"
#include "support/Hex.h"

namespace tw {
namespace {

const SystemTime kNow{2026, 12, 4, 10, 9, 8, 7, 6};

KeyRecord testKey() {
    KeyRecord k;
    const std::uint8_t key[16] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6};
    k.set(key);
    return k;
}

RecordHeader sampleHeader(RecordType type = RecordType::Card) {
    RecordId id;
    id.bytes[3] = 42;
    return RecordHeader::create(type, id, RecordId{}, kNow);
}

TEST(RecordHeader, CustomIconPadding) {
    struct Case {
        std::size_t size, stored, padding;
    };
    for (const Case c : {Case{1000, 1004, 4}, Case{1001, 1004, 3}, Case{1003, 1004, 1}, Case{1, 4, 3}}) {
        RecordHeader h = sampleHeader();
        h.setCustomIcon(std::vector<std::uint8_t>(c.size, 0xAB));
        auto bytes = std::make_shared<std::vector<std::uint8_t>>();
        ASSERT_EQ(writeRecord(makeMemoryFile(bytes).get(), h, kNow), FileResult::Done);
        ASSERT_EQ(bytes->size(), 748 + c.stored);
        EXPECT_EQ(getU32(bytes->data(), 712), c.stored);
        EXPECT_EQ(getU32(bytes->data(), 716), c.padding);
        EXPECT_EQ((*bytes)[748 + c.size], 0) << "padding is zero";
        RecordHeader read;
        std::uint64_t consumed = 0;
        ASSERT_EQ(readRecord(makeMemoryFile(bytes).get(), read, &consumed), FileResult::Done);
        EXPECT_EQ(consumed, 748 + c.stored);
        EXPECT_EQ(read.customIcon(), std::vector<std::uint8_t>(c.size, 0xAB));
    }
}

TEST(RecordHeader, WriteNormalisesIconFieldsAndChangeFlags) {
    RecordHeader h = sampleHeader();
    h.setWord(RecordHeader::kIconLength, 99);
    h.setWord(RecordHeader::kIconWord, 5);
    h.setIconIndex(12);
    h.setWord(RecordHeader::kChangeFlags, 0);
    auto bytes = std::make_shared<std::vector<std::uint8_t>>();
    ASSERT_EQ(writeRecord(makeMemoryFile(bytes).get(), h, kNow), FileResult::Done);
    EXPECT_EQ(bytes->size(), 748u);
    for (std::size_t at = 712; at < 740; ++at) EXPECT_EQ((*bytes)[at], 0) << at;
    EXPECT_EQ(getU32(bytes->data(), 48), 1u);
    EXPECT_EQ(getSystemTime(bytes->data(), 68), kNow);

    RecordHeader custom = sampleHeader();
    custom.setIconIndex(RecordHeader::kCustomIcon);  // no icon data in memory
    ASSERT_EQ(writeRecord(makeMemoryFile(bytes).get(), custom, kNow), FileResult::Done);
    EXPECT_EQ(getI32(bytes->data(), 708), 0);

    RecordHeader unloaded;
    EXPECT_EQ(writeRecord(makeMemoryFile(bytes).get(), unloaded, kNow), FileResult::BadMagic);
}

TEST(RecordHeader, SameNameAgainChangesNothing) {
    const KeyRecord key = testKey();
    RecordHeader h = sampleHeader();
    const SystemTime later{2027, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_TRUE(h.setName(u"Bank", key, kNow));
    EXPECT_EQ(h.changeFlags() & change::kRenamed, change::kRenamed);
    h.changed = false;
    EXPECT_FALSE(h.setName(u"Bank", key, later));
    EXPECT_FALSE(h.changed);
    EXPECT_EQ(h.lastChange(), kNow);
    EXPECT_EQ(h.name(key), u"Bank");
    // The whole 512-byte area is enciphered: the plain text is not visible.
    EXPECT_NE(getU16(h.raw.data(), 100), u'B');
}

TEST(RecordHeader, NameFillingItsWholeFieldReadsAs255Characters) {
    // Another writer's name without a terminator: 256 characters fill the 512 bytes.
    const KeyRecord key = testKey();
    RecordHeader h = sampleHeader();
    std::uint8_t plain[RecordHeader::kNameSize];
    for (std::size_t i = 0; i < RecordHeader::kNameSize; i += 2) putU16(plain, i, u'n');
    key.encipher(plain, sizeof plain, h.raw.data() + RecordHeader::kName);
    const std::u16string longest(RecordHeader::kMaxName, u'n');
    EXPECT_EQ(h.name(key), longest);
    EXPECT_FALSE(h.setName(longest, key, kNow)) << "the name it already has";
}

// A cut never leaves half of a character made of two code units.
TEST(RecordHeader, NameIsNeverCutInsideASurrogatePair) {
    const KeyRecord key = testKey();
    const std::u16string smile = u"\U0001F600";
    const struct {
        std::size_t before;  // characters before the pair
        std::size_t kept;    // code units kept
    } cases[] = {{253, 255}, {254, 254}, {255, 255}};
    for (const auto& c : cases) {
        RecordHeader h = sampleHeader();
        const std::u16string name = std::u16string(c.before, u'n') + smile;
        h.putName(name, key);
        EXPECT_EQ(h.name(key), name.substr(0, c.kept)) << c.before;
        EXPECT_FALSE(h.setName(name, key, kNow)) << c.before << ": the name it already has";
    }
}

TEST(RecordHeader, ReadStopsAtUnknownTypeAndLeavesFileAtBody) {
    RecordHeader h = sampleHeader(RecordType::Folder);
    h.setBodyLength(10);
    auto bytes = std::make_shared<std::vector<std::uint8_t>>();
    auto file = makeMemoryFile(bytes);
    ASSERT_EQ(writeRecord(file.get(), h, kNow), FileResult::Done);
    const std::uint8_t body[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ASSERT_EQ(writeBlock(file.get(), body, 10), FileResult::Done);

    auto reader = makeMemoryFile(bytes);
    RecordHeader read;
    std::uint64_t consumed = 0;
    ASSERT_EQ(readRecord(reader.get(), read, &consumed), FileResult::Done);
    EXPECT_EQ(read.type(), RecordType::Folder);
    EXPECT_EQ(reader->position(), 748u);
    EXPECT_TRUE(isRecordStart(bytes->data()));

    (*bytes)[0] ^= 1;
    reader->seekTo(0);
    EXPECT_EQ(readRecord(reader.get(), read, &consumed), FileResult::BadMagic);
    EXPECT_FALSE(isRecordStart(bytes->data()));
}

TEST(RecordHeader, IconLengthBeyondTheFileIsNotAllocated) {
    RecordHeader h = sampleHeader();
    h.setCustomIcon(std::vector<std::uint8_t>(16, 1));
    auto bytes = std::make_shared<std::vector<std::uint8_t>>();
    ASSERT_EQ(writeRecord(makeMemoryFile(bytes).get(), h, kNow), FileResult::Done);
    putU32(bytes->data(), 712, 0xFFFFFFF0u);
    RecordHeader read;
    std::uint64_t consumed = 0;
    EXPECT_EQ(readRecord(makeMemoryFile(bytes).get(), read, &consumed), FileResult::Short);
    EXPECT_EQ(consumed, 748u);
    EXPECT_TRUE(read.iconData.empty());
    EXPECT_EQ(read.iconLength(), 0u);
}

TEST(RecordId, LayoutAndNoRepeat) {
    SequenceRandom random(5);
    RecordIdGenerator gen;
    const RecordId a = gen.next(random, kNow);
    EXPECT_EQ(getU16(a.bytes.data(), 4), 3);
    EXPECT_EQ(a.bytes[8], 10);  // day
    EXPECT_EQ(a.bytes[9], 12);  // month
    EXPECT_EQ(getU16(a.bytes.data(), 10), 2026);
    EXPECT_EQ(a.bytes[12], 9);  // hour
    EXPECT_EQ(a.bytes[13], 8);  // minute
    EXPECT_EQ(a.bytes[14], 7);  // second
    EXPECT_EQ(a.bytes[15], 7);  // second again

    // A random source that repeats itself still never gives the same identifier twice in a row.
    struct Stuck final : Random {
        int calls = 0;
        std::uint32_t next() override { return calls++ < 4 ? 1u : 2u; }
    } stuck;
    const RecordId first = gen.next(stuck, kNow);
    const RecordId second = gen.next(stuck, kNow);
    EXPECT_NE(first, second);
}

}  // namespace
}  // namespace tw
