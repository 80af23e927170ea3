#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "model/Card.h"
#include "platform/MemoryFile.h"
#include "storage/Bytes.h"
#include "support/CardFixtures.h"

namespace tw {
namespace {

using test::fullCard;
using test::testBytes;
using test::testRecordKey;
using test::yesNoStrings;

using Bytes = std::vector<std::uint8_t>;

Bytes serialize(const Card& card) {
    Bytes body;
    EXPECT_TRUE(card.serializeBody(testRecordKey(), &body));
    return body;
}

void appendSubRecord(Bytes& body, std::uint32_t type, const Bytes& payload) {
    const std::size_t at = body.size();
    body.resize(at + 12 + payload.size(), 0);
    putU32(body.data(), at + 4, type);
    putU32(body.data(), at + 8, static_cast<std::uint32_t>(payload.size()));
    std::copy(payload.begin(), payload.end(), body.begin() + static_cast<std::ptrdiff_t>(at + 12));
}

Bytes fieldPayload(const std::u16string& name) {
    Field f;
    f.setName(name);
    Bytes out;
    f.writePayload(testRecordKey(), out);
    return out;
}

Bytes filePayload(std::uint8_t seed) {
    Attachment a(AttachmentKind::File);
    a.set(testBytes(7, seed), u"f");
    Bytes out;
    a.writePayload(testRecordKey(), out);
    return out;
}

void expectSameContent(const Card& a, const Card& b) {
    EXPECT_EQ(a.display(), b.display());
    ASSERT_EQ(a.fieldCount(), b.fieldCount());
    for (std::size_t i = 0; i < a.fieldCount(); ++i) {
        const Field& x = a.field(i);
        const Field& y = b.field(i);
        SCOPED_TRACE(i);
        EXPECT_EQ(x.kind(), y.kind());
        EXPECT_EQ(x.style(), y.style());
        EXPECT_EQ(x.nameColour(), y.nameColour());
        EXPECT_EQ(x.name(), y.name());
        EXPECT_EQ(x.value(), y.value());
        EXPECT_EQ(x.date(), y.date());
        EXPECT_EQ(x.listItems(), y.listItems());
    }
    for (const auto& [x, y] : {std::pair{&a.picture(), &b.picture()}, std::pair{&a.sound(), &b.sound()}}) {
        EXPECT_EQ(x->data(), y->data());
        EXPECT_EQ(x->name(), y->name());
        EXPECT_EQ(x->type(), y->type());
    }
    EXPECT_EQ(a.picture().placement(), b.picture().placement());
    EXPECT_EQ(a.picture().scaleToFit(), b.picture().scaleToFit());
    for (std::size_t slot = 0; slot < Card::kFileSlots; ++slot) {
        EXPECT_EQ(a.file(slot).data(), b.file(slot).data());
        EXPECT_EQ(a.file(slot).name(), b.file(slot).name());
        EXPECT_EQ(a.file(slot).fileTime(), b.file(slot).fileTime());
        EXPECT_EQ(a.file(slot).attachTime(), b.file(slot).attachTime());
    }
}

TEST(CardBody, FullCardRoundTripsByteForByte) {
    const Card card = fullCard(yesNoStrings());
    const Bytes first = serialize(card);

    Card back;
    ASSERT_TRUE(back.parseBody(first, testRecordKey()));
    EXPECT_TRUE(back.loaded());
    EXPECT_FALSE(back.modified());
    EXPECT_EQ(back.droppedItems(), 0u);
    EXPECT_EQ(back.fieldCount(), 16u);
    EXPECT_EQ(back.countFileAttachments(), 10u);
    EXPECT_EQ(back.field(10).listItems(), (std::vector<std::u16string>{u"Yes", u"No"}));
    EXPECT_EQ(back.field(11).listItems(), (std::vector<std::u16string>{u"red", u"green", u"blue"}));
    EXPECT_EQ(back.picture().type(), Attachment::kPictureJpeg);
    EXPECT_EQ(back.sound().type(), Attachment::kSoundWave);
    expectSameContent(card, back);
    EXPECT_FALSE(back.isChanged()) << "nothing read from a body counts as a change";
    EXPECT_EQ(serialize(back), first);
}

TEST(CardBody, OrderAndSizes) {
    Card card;
    card.newField(1, StringTable{})->setName(u"abc");
    card.file(3).set(testBytes(1), u"late");
    card.file(0).set(testBytes(1), u"early");
    card.sound().set(testBytes(1000), u"");
    const Bytes body = serialize(card);

    // Sub-record types in order: field, sound, file slot 0, file slot 3.
    std::vector<std::uint32_t> types;
    std::size_t at = 64, total = 64;
    while (at < body.size()) {
        types.push_back(getU32(body.data(), at + 4));
        const std::uint32_t length = getU32(body.data(), at + 8);
        total += 12 + length;
        at += 12 + length;
    }
    EXPECT_EQ(types, (std::vector<std::uint32_t>{1, 4, 6, 6}));
    EXPECT_EQ(total, body.size());
    EXPECT_EQ(getU32(body.data(), 64 + 8), 72u + 8u) << "field: descriptor and the 8-byte name";
}

TEST(CardBody, DisplayOnlyBodyIs64Bytes) {
    Card card;
    card.display() = CardDisplay::walletDefault();
    const Bytes body = serialize(card);
    ASSERT_EQ(body.size(), 64u);
    EXPECT_EQ(getU32(body.data(), 4 * 2), 0x800000u);

    auto bytes = std::make_shared<Bytes>(body);
    auto file = makeMemoryFile(bytes, false);
    Card back;
    ASSERT_TRUE(back.readBody(file.get(), 64, testRecordKey()));
    EXPECT_TRUE(back.loaded());
    EXPECT_EQ(back.fieldCount(), 0u);
    EXPECT_EQ(back.display(), card.display());
}

// Bytes another program keeps in the reserved parts of the descriptors are written back as they
// were read, also when the edit changes the item they belong to.
TEST(CardBody, ReservedDescriptorBytesSurviveAnEdit) {
    Card source;
    source.newField(1, StringTable{})->setValue(u"old");
    source.picture().set(testBytes(5), u"p.gif");
    source.sound().set(testBytes(6), u"s.wav");
    source.file(0).set(testBytes(7), u"f.txt");
    Bytes body = serialize(source);
    struct Reserved {
        std::uint32_t type;
        std::vector<std::pair<std::size_t, std::size_t>> ranges;  // descriptor offset, length
    };
    const Reserved reserved[] = {
        {1, {{4, 4}, {60, 12}}},
        {3, {{4, 4}, {32, 16}}},
        {4, {{4, 4}, {24, 8}}},
        {6, {{0, 4}, {52, 16}}},
    };
    // Where each sub-record's descriptor starts, by type.
    auto descriptors = [](const Bytes& b) {
        std::map<std::uint32_t, std::size_t> at;
        for (std::size_t p = 64; p + 12 <= b.size(); p += 12 + getU32(b.data(), p + 8))
            at[getU32(b.data(), p + 4)] = p + 12;
        return at;
    };
    std::map<std::uint32_t, std::size_t> at = descriptors(body);
    for (const Reserved& r : reserved)
        for (const auto& [offset, length] : r.ranges)
            for (std::size_t i = 0; i < length; ++i)
                body[at.at(r.type) + offset + i] = static_cast<std::uint8_t>(0xA0 + i);

    Card card;
    ASSERT_TRUE(card.parseBody(body, testRecordKey()));
    card.field(0).setValue(u"a longer value");
    card.picture().set(testBytes(9), u"q.jpg");
    card.sound().set(testBytes(3), u"t.wav");
    card.file(0).setTimes(SystemTime{2024, 1, 1, 1, 1, 1, 1, 1}, SystemTime{2024, 2, 2, 2, 2, 2, 2, 2});
    const Bytes edited = serialize(card);
    const std::map<std::uint32_t, std::size_t> after = descriptors(edited);
    for (const Reserved& r : reserved)
        for (const auto& [offset, length] : r.ranges)
            for (std::size_t i = 0; i < length; ++i)
                EXPECT_EQ(edited[after.at(r.type) + offset + i], 0xA0 + i)
                    << "type " << r.type << " byte " << offset + i;

    Card back;
    ASSERT_TRUE(back.parseBody(edited, testRecordKey()));
    EXPECT_EQ(back.field(0).value(), u"a longer value");
    EXPECT_EQ(back.picture().type(), Attachment::kPictureJpeg);
    EXPECT_EQ(back.sound().data(), testBytes(3));
    EXPECT_EQ(back.file(0).attachTime().month, 2);
}

TEST(CardBody, UnknownSubRecordIsSkipped) {
    Bytes body(64, 0);
    appendSubRecord(body, 1, fieldPayload(u"first"));
    appendSubRecord(body, 9, testBytes(20));
    appendSubRecord(body, 2, {});
    appendSubRecord(body, 1, fieldPayload(u"second"));
    Card card;
    ASSERT_TRUE(card.parseBody(body, testRecordKey()));
    ASSERT_EQ(card.fieldCount(), 2u);
    EXPECT_EQ(card.field(1).name(), u"second");
    EXPECT_EQ(card.droppedItems(), 0u);
}

TEST(CardBody, ItemsBeyondTheLimitsAreDropped) {
    Bytes body(64, 0);
    for (int i = 0; i < 256; ++i) appendSubRecord(body, 1, fieldPayload(u"f" + std::u16string(1, u'0' + i % 10)));
    for (std::uint8_t i = 0; i < 11; ++i) appendSubRecord(body, 6, filePayload(i));
    Card card;
    ASSERT_TRUE(card.parseBody(body, testRecordKey()));
    EXPECT_EQ(card.fieldCount(), 255u);
    EXPECT_EQ(card.countFileAttachments(), 10u);
    EXPECT_EQ(card.file(9).data(), testBytes(7, 9)) << "the eleventh file is the one dropped";
    EXPECT_EQ(card.droppedItems(), 2u);
}

// One card parsed again and again (as the exports do): a body without attachments leaves none
// of those an earlier body or an edit gave the card.
TEST(CardBody, ParsingAgainLeavesNoAttachmentsOfTheCardBefore) {
    Bytes with(64, 0);
    appendSubRecord(with, 1, fieldPayload(u"f"));
    appendSubRecord(with, 6, filePayload(1));
    appendSubRecord(with, 6, filePayload(2));
    Bytes without(64, 0);
    appendSubRecord(without, 1, fieldPayload(u"g"));
    Card card;
    ASSERT_TRUE(card.parseBody(with, testRecordKey()));
    ASSERT_EQ(card.countFileAttachments(), 2u);
    for (Card::Parts parts : {Card::Parts::All, Card::Parts::Fields}) {
        ASSERT_TRUE(card.parseBody(without, testRecordKey(), parts));
        EXPECT_EQ(card.countFileAttachments(), 0u);
        card.picture().set(testBytes(4), u"p.jpg");  // an edit between two parses
        ASSERT_TRUE(card.parseBody(without, testRecordKey(), parts));
        EXPECT_FALSE(std::as_const(card).picture().hasData());
        ASSERT_TRUE(card.parseBody(with, testRecordKey()));
    }
}

TEST(CardBody, MalformedBodies) {
    Card source;
    source.newField(1, StringTable{})->setName(u"name");  // payload 72 + 12
    source.picture().set(testBytes(50), u"p.gif");
    const Bytes good = serialize(source);
    constexpr std::size_t kField = 64, kPicture = kField + 12 + 84;
    ASSERT_EQ(getU32(good.data(), kPicture + 4), 3u);

    struct Case {
        const char* what;
        void (*damage)(Bytes&);
        bool parses;
        std::size_t fields;
        bool picture;
        std::size_t dropped = 0;  // when not 0: the count of items left out, else one per item lost
    };
    const Case cases[] = {
        {"shorter than the display block", [](Bytes& b) { b.resize(63); }, false, 0, false},
        {"cut inside the last sub-record: what came before is kept", [](Bytes& b) { b.pop_back(); }, true, 1, false},
        {"sub-record length past the body: the rest counts as one item",
         [](Bytes& b) { putU32(b.data(), kField + 8, 0xFFFFFFFF); }, true, 0, false, 1},
        {"field name larger than its payload",
         [](Bytes& b) { putU32(b.data(), kField + 12 + Field::kNameStored, 0x7FFFFFFF); }, true, 0, true},
        {"field name padding above its size", [](Bytes& b) { putU32(b.data(), kField + 12 + Field::kNamePadding, 13); },
         true, 0, true},
        {"field payload below its descriptor",
         [](Bytes& b) {
             // The field keeps 8 bytes; a sub-record of type 0 made over its old descriptor covers the rest.
             putU32(b.data(), kField + 8, 8);
             putU32(b.data(), kField + 20 + 4, 0);
             putU32(b.data(), kField + 20 + 8, 84 - 8 - 12);
         },
         true, 0, true},
        {"picture data past its payload", [](Bytes& b) { putU32(b.data(), kPicture + 12 + 16, 0x10000); }, true, 1,
         false},
        {"picture padding above its size", [](Bytes& b) { putU32(b.data(), kPicture + 12 + 20, 0xFFFF); }, true, 1,
         false},
        {"a tail shorter than a head", [](Bytes& b) { b.resize(b.size() + 11, 0xAB); }, true, 1, true},
    };
    for (const Case& c : cases) {
        Bytes bad = good;
        c.damage(bad);
        SCOPED_TRACE(c.what);
        Card card;
        card.newField(1, StringTable{});
        const bool parsed = card.parseBody(bad, testRecordKey());
        ASSERT_EQ(parsed, c.parses);
        if (!parsed) {
            EXPECT_FALSE(card.loaded());
            EXPECT_EQ(card.fieldCount(), 1u) << "a refused body leaves the card as it was";
            continue;
        }
        EXPECT_EQ(card.fieldCount(), c.fields);
        EXPECT_EQ(card.picture().hasData(), c.picture);
        EXPECT_EQ(card.droppedItems(), c.dropped != 0 ? c.dropped : (c.fields == 1 ? 0u : 1u) + (c.picture ? 0u : 1u));
    }
}

// Random damage to a real body: every outcome is fine except a crash or an over-read, which the
// sanitizer build reports.
TEST(CardBody, DamagedBodiesNeverOverRead) {
    const Bytes good = serialize(fullCard(yesNoStrings()));
    std::mt19937 random(2006);
    for (int round = 0; round < 3000; ++round) {
        Bytes bad = good;
        const int hits = 1 + static_cast<int>(random() % 4);
        for (int h = 0; h < hits; ++h) {
            const std::size_t at = random() % (bad.size() - 3);
            if (random() % 2 == 0)
                bad[at] = static_cast<std::uint8_t>(random());
            else
                putU32(bad.data(), at & ~std::size_t{3}, static_cast<std::uint32_t>(random()));
        }
        if (random() % 4 == 0) bad.resize(random() % bad.size());
        Card card;
        const bool parsed = card.parseBody(bad, testRecordKey());
        EXPECT_EQ(parsed, card.loaded());
    }
}

TEST(CardBody, ReadBodyChecksTheFile) {
    const Bytes body = serialize(fullCard(yesNoStrings()));
    auto bytes = std::make_shared<Bytes>(Bytes(10, 0));
    bytes->insert(bytes->end(), body.begin(), body.end());
    const auto size = static_cast<std::uint32_t>(body.size());
    struct Case {
        const char* what;
        std::uint32_t bodySize;
        std::uint64_t failRead;
        bool ok;
    };
    const Case cases[] = {
        {"whole body", size, 0, true},
        {"announced below 64", 63, 0, false},
        {"announced past the end of the file", size + 1, 0, false},
        {"announced as 4 GiB", 0xFFFFFFFF, 0, false},
        {"display block read fails", size, 1, false},
        {"rest of the body read fails", size, 2, false},
    };
    for (const Case& c : cases) {
        auto faults = std::make_shared<FaultPlan>();
        if (c.failRead != 0) faults->failReadAt = c.failRead;
        auto file = makeMemoryFile(bytes, false, faults);
        file->seekTo(10);
        Card card;
        EXPECT_EQ(card.readBody(file.get(), c.bodySize, testRecordKey()), c.ok) << c.what;
        EXPECT_EQ(card.loaded(), c.ok) << c.what;
    }
    Card card;
    EXPECT_FALSE(card.readBody(nullptr, size, testRecordKey()));
}

class WriteCard : public testing::Test {
protected:
    const SystemTime now{2006, 7, 5, 12, 10, 0, 0, 0};
    MemoryFileSystem fs;
    std::unique_ptr<File> file = fs.open("w.tm5", OpenMode::CreateNew);
    Card card = fullCard(yesNoStrings());

    void SetUp() override {
        RecordHeader header = RecordHeader::create(RecordType::Card, RecordId{{1, 2, 3}}, RecordId{}, now);
        header.putName(u"Visa", testRecordKey());
        card.setHeader(header);
    }
};

TEST_F(WriteCard, WritesHeaderThenBody) {
    ASSERT_EQ(writeCard(file.get(), card, testRecordKey(), now), CardWriteResult::Ok);
    const Bytes body = serialize(card);
    const Bytes& stored = fs.bytes("w.tm5");
    ASSERT_EQ(stored.size(), RecordHeader::kSize + body.size());
    EXPECT_EQ(Bytes(stored.begin() + RecordHeader::kSize, stored.end()), body);

    file->seekTo(0);
    RecordHeader header;
    std::uint64_t consumed = 0;
    ASSERT_EQ(readRecord(file.get(), header, &consumed), FileResult::Done);
    EXPECT_EQ(header.bodyLength(), body.size());
    Card back;
    back.setHeader(header);
    ASSERT_TRUE(back.readBody(file.get(), header.bodyLength(), testRecordKey()));
    expectSameContent(card, back);
    EXPECT_EQ(back.header()->name(testRecordKey()), u"Visa");
}

TEST_F(WriteCard, TextsAndDataAreEnciphered) {
    ASSERT_EQ(writeCard(file.get(), card, testRecordKey(), now), CardWriteResult::Ok);
    const Bytes& stored = fs.bytes("w.tm5");
    const auto contains = [&](const Bytes& needle) {
        return std::search(stored.begin(), stored.end(), needle.begin(), needle.end()) != stored.end();
    };
    const std::string name = toBytes16(card.field(0).name());
    EXPECT_FALSE(contains(Bytes(name.begin(), name.end())));
    EXPECT_FALSE(contains(card.picture().data()));

    // The first field's name sits right after its descriptor and deciphers on its own.
    const std::size_t at = RecordHeader::kSize + 64 + 12 + Field::kDescriptorSize;
    Bytes plain(name.size());
    testRecordKey().encipher(stored.data() + at, plain.size(), plain.data());
    EXPECT_EQ(fromBytes16(plain.data(), plain.size()), card.field(0).name());
}

TEST_F(WriteCard, Failures) {
    struct Case {
        const char* what;
        void (*arrange)(FaultPlan&, Card&);
        CardWriteResult result;
    };
    const Case cases[] = {
        {"no header", [](FaultPlan&, Card& c) { c = fullCard(yesNoStrings()); }, CardWriteResult::NoHeader},
        {"header write fails", [](FaultPlan& f, Card&) { f.failWriteAt = 1; }, CardWriteResult::Failed},
        {"header write short", [](FaultPlan& f, Card&) { f.shortWriteAt = 1; },
         static_cast<CardWriteResult>(FileResult::Short)},
        {"body write fails", [](FaultPlan& f, Card&) { f.failWriteAt = 2; }, CardWriteResult::Failed},
        {"body write short", [](FaultPlan& f, Card&) { f.shortWriteAt = 2; }, CardWriteResult::Failed},
    };
    for (const Case& c : cases) {
        fs.resetFaults();
        Card target = card;
        c.arrange(fs.faults(), target);
        EXPECT_EQ(writeCard(file.get(), target, testRecordKey(), now), c.result) << c.what;
    }
    EXPECT_EQ(writeCard(file.get(), card, KeyRecord{}, now), CardWriteResult::Failed) << "no key";
}

TEST(Card, FieldTable) {
    const StringTable strings = yesNoStrings();
    Card card;
    for (const char16_t* name : {u"b", u"d"}) card.newField(1, strings)->setName(name);
    Field a;
    a.setName(u"a");
    Field c;
    c.setName(u"c");
    EXPECT_TRUE(card.addField(a, 0));
    EXPECT_TRUE(card.addField(c, 2));
    EXPECT_FALSE(card.addField(c, 5));
    EXPECT_FALSE(card.addField(c, -2));
    const auto names = [&] {
        std::u16string s;
        for (std::size_t i = 0; i < card.fieldCount(); ++i) s += card.field(i).name();
        return s;
    };
    EXPECT_EQ(names(), u"abcd");
    EXPECT_TRUE(card.modified());

    card.field(1).setListFromJoined(u"x^y");
    ASSERT_TRUE(card.duplicateField(1));
    EXPECT_EQ(names(), u"abbcd");
    EXPECT_EQ(card.field(2).listItems(), card.field(1).listItems());
    EXPECT_FALSE(card.duplicateField(5));

    ASSERT_TRUE(card.moveFieldToEnd(0));
    EXPECT_EQ(names(), u"bbcda");
    ASSERT_TRUE(card.removeField(1));
    EXPECT_EQ(names(), u"bcda");
    EXPECT_FALSE(card.removeField(4));

    while (card.fieldCount() < Card::kMaxFields) ASSERT_NE(card.newField(1, strings), nullptr);
    EXPECT_EQ(card.newField(1, strings), nullptr);
    EXPECT_FALSE(card.addField(Field{}));
    EXPECT_FALSE(card.duplicateField(0));
    EXPECT_EQ(card.fieldCount(), 255u);

    card.release();
    EXPECT_EQ(card.fieldCount(), 0u);
    EXPECT_FALSE(card.hasHeader());
}

TEST(Card, ChangedTest) {
    const Bytes body = serialize(fullCard(yesNoStrings()));
    const auto loaded = [&] {
        Card card;
        card.parseBody(body, testRecordKey());
        return card;
    };
    Card card = loaded();
    EXPECT_FALSE(card.isChanged());
    card.file(0).clear();
    EXPECT_EQ(card.firstFreeSlot(), 0);
    EXPECT_FALSE(card.isChanged()) << "file attachments have no part in the changed test";

    card = loaded();
    card.field(3).setValue(u"new value");
    EXPECT_FALSE(card.modified());
    EXPECT_TRUE(card.isChanged());
    EXPECT_TRUE(card.modified()) << "field marks set the modified flag";

    card = loaded();
    card.sound().clear();
    EXPECT_TRUE(card.isChanged());

    card = loaded();
    RecordHeader header;
    header.changed = true;
    card.setHeader(header);
    EXPECT_TRUE(card.isChanged());
}

}  // namespace
}  // namespace tw
