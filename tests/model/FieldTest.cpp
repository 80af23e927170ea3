#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Field.h"
#include "storage/Bytes.h"
#include "support/CardFixtures.h"

namespace tw {
namespace {

using test::testRecordKey;
using test::yesNoStrings;

constexpr SystemTime kDate{2006, 5, 3, 17, 14, 30, 5, 0};

std::vector<std::u16string> items(const Field& f) {
    return f.listItems();
}

TEST(Field, NewFieldDefaults) {
    const Field f;
    EXPECT_EQ(f.kind(), 1);
    EXPECT_EQ(f.nameColour(), -1);
    EXPECT_EQ(f.valueColour(), -1);
    EXPECT_TRUE(f.date().isZero());
    EXPECT_EQ(f.marks(), Field::kMarkNew);
}

TEST(Field, SetKindTransitions) {
    const StringTable strings = yesNoStrings();
    struct Case {
        std::uint16_t from, to;
        std::uint32_t marks;
        bool valueKept, dateKept;
        std::vector<std::u16string> list;
    };
    const std::vector<std::u16string> start{u"one", u"two"};
    const Case cases[] = {
        {1, 1, 0, true, true, start},
        {1, 8, Field::kMarkKind | Field::kMarkValueSet, false, false, start},
        {12, 10, Field::kMarkKind | Field::kMarkValueSet, false, false, start},
        {8, 9, Field::kMarkKind, true, true, start},   // between date kinds the date stays
        {10, 1, Field::kMarkKind, true, true, start},  // the date stays, no longer shown
        {1, 11, Field::kMarkKind | Field::kMarkListItem, true, true, {u"Yes", u"No"}},
        {12, 11, Field::kMarkKind | Field::kMarkListItem, true, true, {u"Yes", u"No"}},
        {11, 12, Field::kMarkKind, true, true, start},
    };
    for (const Case& c : cases) {
        Field f;
        f.setKind(c.from, strings);
        f.setValue(u"secret");
        f.setListFromJoined(u"one^two");
        // A date field holds its date and no value; other fields a value and a leftover date.
        if (Field::isDateKind(c.from)) f.setDate(kDate);
        const std::u16string value = f.value();
        const SystemTime date = f.date();
        f.clearMarks();

        f.setKind(c.to, strings);
        SCOPED_TRACE(testing::Message() << c.from << " -> " << c.to);
        EXPECT_EQ(f.kind(), c.to);
        EXPECT_EQ(f.marks(), c.marks);
        EXPECT_EQ(f.value(), c.valueKept ? value : u"");
        EXPECT_EQ(f.date(), c.dateKept ? date : SystemTime{});
        EXPECT_EQ(items(f), c.list);
    }
}

TEST(Field, YesNoWordsComeFromTheStringTable) {
    Field f;
    f.setKind(Field::kYesNoKind, StringTable{});
    EXPECT_EQ(items(f), (std::vector<std::u16string>{u"*", u"*"})) << "no language loaded";
}

TEST(Field, ValueAndDateRules) {
    Field f;
    EXPECT_FALSE(f.setDate(kDate)) << "only the date kinds take a date";
    f.setValue(u"abc");
    EXPECT_EQ(f.marks(), Field::kMarkNew | Field::kMarkValue);
    f.clearMarks();
    f.setValue(u"abc");
    EXPECT_EQ(f.marks(), 0u) << "the same value is no change";

    f.setKind(9, StringTable{});
    f.setDate(kDate);
    f.clearMarks();
    f.setValue(u"");
    EXPECT_TRUE(f.date().isZero()) << "removing the value clears the date";
    EXPECT_EQ(f.marks(), Field::kMarkValueSet);

    f.setValue(u"typed");
    EXPECT_TRUE(f.setDate(kDate));
    EXPECT_EQ(f.value(), u"") << "a date replaces the value text";
    EXPECT_EQ(f.date(), kDate);

    f.setName(std::u16string(u"ab\0cd", 5));
    EXPECT_EQ(f.name(), u"ab") << "texts end at a zero character";
}

TEST(Field, ListItems) {
    Field f;
    f.setKind(Field::kListKind, StringTable{});
    EXPECT_TRUE(f.addListItem(u"a^b"));
    EXPECT_FALSE(f.addListItem(u""));
    EXPECT_EQ(items(f), (std::vector<std::u16string>{u"a b"}));

    f.setListFromJoined(u"^x^^y^");
    EXPECT_EQ(items(f), (std::vector<std::u16string>{u"x", u"y"}));
    ASSERT_NE(f.listItem(1), nullptr);
    EXPECT_EQ(*f.listItem(1), u"y");
    EXPECT_EQ(f.listItem(2), nullptr);

    // 128 items at most, for list kinds and for any other kind alike.
    for (std::uint16_t kind : {std::uint16_t{12}, std::uint16_t{1}}) {
        Field g;
        g.setKind(kind, StringTable{});
        for (int i = 0; i < 128; ++i) ASSERT_TRUE(g.addListItem(u"i"));
        EXPECT_FALSE(g.addListItem(u"one too many")) << kind;
        EXPECT_EQ(g.listItems().size(), 128u);
    }
    Field text;
    text.addListItem(u"kept");
    EXPECT_EQ(text.listItem(0), nullptr) << "a text field offers no list items";
}

// Reads the descriptor of a written payload.
struct Written {
    std::vector<std::uint8_t> bytes;
    std::uint32_t at(std::size_t offset) const { return getU32(bytes.data(), offset); }
};

Written write(const Field& f) {
    Written w;
    EXPECT_TRUE(f.writePayload(testRecordKey(), w.bytes));
    EXPECT_EQ(w.bytes.size(), f.payloadSize());
    return w;
}

TEST(Field, TextPadding) {
    struct Case {
        std::u16string text;
        std::uint32_t stored, padding;
    };
    const Case cases[] = {{u"", 0, 0}, {u"a", 4, 2}, {u"abc", 8, 2}, {u"abcd", 12, 4}, {u"abcdef", 16, 4}};
    const KeyRecord key = testRecordKey();
    for (const Case& c : cases) {
        Field f;
        f.setName(c.text);
        f.setValue(c.text + c.text);
        const Written w = write(f);
        EXPECT_EQ(w.at(Field::kNameStored), c.stored) << std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(w.at(Field::kNamePadding), c.padding);
        EXPECT_EQ(w.at(Field::kPayloadAfter), w.bytes.size() - Field::kDescriptorSize);
        // The padding stays plain zeros; the text deciphers alone with a fresh keystream.
        const std::size_t n = c.text.size() * 2;
        const std::uint8_t* name = w.bytes.data() + Field::kDescriptorSize;
        EXPECT_TRUE(allZero(name + n, c.padding));
        std::vector<std::uint8_t> plain(n);
        key.encipher(name, n, plain.data());
        EXPECT_EQ(fromBytes16(plain.data(), n), c.text);
    }
}

TEST(Field, ListIsStoredForListKindsOnly) {
    const KeyRecord key = testRecordKey();
    Field list;
    list.setKind(Field::kListKind, StringTable{});
    list.setListFromJoined(u"ab^c");
    const Written w = write(list);
    EXPECT_EQ(w.at(Field::kListStored), 12u);  // "ab^c" is 8 bytes
    EXPECT_EQ(w.at(Field::kListPadding), 4u);
    std::vector<std::uint8_t> plain(8);
    key.encipher(w.bytes.data() + Field::kDescriptorSize, 8, plain.data());
    EXPECT_EQ(fromBytes16(plain.data(), 8), u"ab^c");

    Field back;
    ASSERT_TRUE(back.readPayload(w.bytes.data(), w.bytes.size(), key));
    EXPECT_EQ(items(back), (std::vector<std::u16string>{u"ab", u"c"}));
    EXPECT_EQ(back.marks(), 0u) << "a field read from a body carries no change marks";

    Field text;
    text.addListItem(u"leftover");
    EXPECT_EQ(write(text).at(Field::kListStored), 0u);
}

TEST(Field, EmptyTextIgnoresItsPaddingCount) {
    // A text stored with size 0 takes no bytes, whatever padding count its descriptor carries.
    const KeyRecord key = testRecordKey();
    Field f;
    f.setKind(Field::kListKind, StringTable{});
    f.setName(u"name");
    const Written good = write(f);  // empty value, empty list
    const std::size_t cases[] = {Field::kValuePadding, Field::kListPadding};
    for (std::size_t offset : cases) {
        for (std::uint32_t padding : {2u, 4u}) {
            Written w = good;
            putU32(w.bytes.data(), offset, padding);
            Field back;
            ASSERT_TRUE(back.readPayload(w.bytes.data(), w.bytes.size(), key)) << offset << " " << padding;
            EXPECT_EQ(back.name(), u"name");
            EXPECT_TRUE(back.value().empty());
        }
    }
}

TEST(Field, ReadRefusesInconsistentSizes) {
    const KeyRecord key = testRecordKey();
    Field f;
    f.setName(u"name");
    f.setValue(u"value");
    const Written good = write(f);
    struct Case {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
        std::size_t size;
    };
    const std::size_t n = good.bytes.size();
    const Case cases[] = {
        {"shorter than the descriptor", 0, 1, Field::kDescriptorSize - 1},
        {"name larger than the payload", Field::kNameStored, 0xFFFFFFF0u, n},
        {"name padding above its size", Field::kNamePadding, 13, n},
        {"value runs past the end", Field::kValueStored, good.at(Field::kValueStored) + 4, n},
        {"list announced but absent", Field::kListStored, 4, n},
        {"payload cut inside the value", 0, 1, n - 1},
    };
    for (const Case& c : cases) {
        Written bad = good;
        if (c.offset != 0) putU32(bad.bytes.data(), c.offset, c.value);
        Field target;
        target.setName(u"before");
        EXPECT_FALSE(target.readPayload(bad.bytes.data(), c.size, key)) << c.what;
        EXPECT_EQ(target.name(), u"before") << c.what;
    }
    EXPECT_FALSE(Field().readPayload(good.bytes.data(), n, KeyRecord{})) << "no key";
}

}  // namespace
}  // namespace tw
