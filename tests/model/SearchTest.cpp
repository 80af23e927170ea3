#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/Card.h"
#include "model/FieldKind.h"
#include "model/Search.h"
#include "platform/Text.h"
#include "storage/Bytes.h"
#include "support/CardFixtures.h"

namespace tw {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The first field's payload starts after the display words and one sub-record head.
constexpr std::size_t kFirstPayload = CardDisplay::kSize + Card::kSubRecordHead;

struct Spec {
    std::uint16_t kind = field_kind::kText;
    std::u16string name;
    std::u16string value;
    std::uint16_t style = 0;
};

Bytes bodyOf(const std::vector<Spec>& specs, const StringTable& strings,
             const std::function<void(Card&)>& more = nullptr) {
    Card card;
    for (const Spec& s : specs) {
        Field* f = card.newField(s.kind, strings);
        f->setName(s.name);
        f->setStyle(s.style);
        if (!s.value.empty()) f->setValue(s.value);
    }
    if (more) more(card);
    Bytes body;
    EXPECT_TRUE(card.serializeBody(test::testRecordKey(), &body));
    return body;
}

// What the search looked at before it read bodies directly: the parsed card's field names and
// shown values, folded one character at a time.
bool parsedCardHolds(const Bytes& body, std::u16string_view needle, const LocalePatterns& locale,
                     const StringTable& strings) {
    Card card;
    if (!card.parseBody(body, test::testRecordKey())) return false;
    const std::u16string folded = foldCase(needle);
    auto holds = [&](std::u16string_view text) {
        return foldCase(text.substr(0, 49151)).find(folded) != std::u16string::npos;
    };
    for (std::size_t i = 0; i < card.fieldCount(); ++i) {
        const Field& f = card.field(i);
        if (holds(f.name()) || holds(displayText(f.kind(), f.value(), f.date(), locale, strings))) return true;
    }
    return false;
}

TEST(CardTextMatcherTest, AnswersAsTheParsedCardOnTrickyBodies) {
    const StringTable strings = test::yesNoStrings();
    const LocalePatterns locale{u"M/d/yy", u"h:mm:ss tt", u":"};
    const std::u16string longText = std::u16string(49145, u'x') + u"deep inside";
    // A card holds 255 fields; a body may carry more, which the reader leaves out.
    std::vector<Spec> many(Card::kMaxFields, Spec{field_kind::kText, u"f", u"v"});
    Bytes manyLast = bodyOf(many, strings);
    const Bytes extra = bodyOf({{1, u"f", u"needle"}}, strings);
    manyLast.insert(manyLast.end(), extra.begin() + CardDisplay::kSize, extra.end());
    many.back().value = u"needle";

    struct Case {
        const char* what;
        Bytes body;
        std::u16string needle;
        bool found;
    };
    std::vector<Case> cases = {
        {"field name", bodyOf({{field_kind::kText, u"IBAN code", u"1"}}, strings), u"iban", true},
        {"value, German capitals", bodyOf({{field_kind::kText, u"n", u"STRAßE ÄRGER"}}, strings), u"äRGER", true},
        {"value, Greek", bodyOf({{field_kind::kText, u"n", u"ΣΟΦΙΑ"}}, strings), u"σοφ", true},
        {"value, Cyrillic Ё", bodyOf({{field_kind::kText, u"n", u"ЁЖИК"}}, strings), u"ёж", true},
        {"Latin Extended-A pair", bodyOf({{field_kind::kText, u"n", u"ŁÓDŹ"}}, strings), u"łódź", true},
        {"no folding of accents", bodyOf({{field_kind::kText, u"n", u"Cafe"}}, strings), u"café", false},
        {"text split over name and value", bodyOf({{field_kind::kText, u"ab", u"cd"}}, strings), u"bc", false},
        {"text split over two fields", bodyOf({{1, u"n", u"ab"}, {1, u"m", u"cd"}}, strings), u"bc", false},
        {"note",
         bodyOf({{field_kind::kText, u"Note", u"line one\r\nthe PIN is under the mat", Field::kNoteStyle}}, strings),
         u"under THE", true},
        {"password value", bodyOf({{field_kind::kPassword, u"Password", u"Secret99"}}, strings), u"secret", true},
        {"date shown in the locale",
         bodyOf({{field_kind::kDate, u"Expires", {}}}, strings,
                [](Card& c) {
                    c.field(0).setDate(SystemTime{2024, 3, 0, 5, 0, 0, 0, 0});
                }),
         u"3/5/2024", true},
        {"check box shows its word", bodyOf({{field_kind::kCheckBox, u"n", u"1"}}, strings), u"yes", true},
        {"check box value is not searched", bodyOf({{field_kind::kCheckBox, u"n", u"1"}}, strings), u"1", false},
        {"list items are not searched",
         bodyOf({{Field::kListKind, u"n", u"Beta"}}, strings,
                [](Card& c) { c.field(0).setListFromJoined(u"Alpha^Beta"); }),
         u"alpha", false},
        {"chosen list item", bodyOf({{Field::kListKind, u"n", u"Beta"}}, strings), u"beta", true},
        {"attachment name and data",
         bodyOf({{1, u"n", u"v"}}, strings,
                [](Card& c) {
                    const std::string data = "needle";
                    c.file(0).set(Bytes(data.begin(), data.end()), u"needle.txt");
                }),
         u"needle", false},
        {"within the searched start of a long value", bodyOf({{1, u"n", longText}}, strings), u"deep", true},
        {"past the searched start of a long value", bodyOf({{1, u"n", longText}}, strings), u"inside", false},
        {"255th field", bodyOf(many, strings), u"needle", true},
        {"field past the limit", manyLast, u"needle", false},
        {"empty card", bodyOf({}, strings), u"ab", false},
    };

    // Damage that the card reader survives.
    Bytes cutShort = bodyOf({{1, u"n", u"plain"}, {1, u"n", u"needle"}}, strings);
    cutShort.resize(cutShort.size() - 4);
    cases.push_back({"sub-record running past the body", cutShort, u"needle", false});
    Bytes badPadding = bodyOf({{1, u"needle", u"v"}, {1, u"n", u"other needle"}}, strings);
    putU32(badPadding.data(), kFirstPayload + Field::kNamePadding, 1000);
    cases.push_back({"field refused for its padding, next one found", badPadding, u"needle", true});
    Bytes badList = bodyOf({{1, u"needle", u"v"}}, strings);
    putU32(badList.data(), kFirstPayload + Field::kListStored, 4);
    cases.push_back({"field refused for its list size", badList, u"needle", false});
    // Name "abcĀ" with one more padding byte: the odd last byte is the low byte of Ā, zero, so
    // the text ends after "abc".
    Bytes oddName = bodyOf({{1, u"abcĀ", u"v"}}, strings);
    putU32(oddName.data(), kFirstPayload + Field::kNamePadding, 5);
    cases.push_back({"odd trailing byte ends the text", oddName, u"cā", false});
    cases.push_back({"even text keeps its last character", bodyOf({{1, u"abcĀ", u"v"}}, strings), u"cā", true});
    Bytes unknown = bodyOf({{1, u"n", u"needle"}, {1, u"n", u"v"}}, strings);
    putU32(unknown.data(), CardDisplay::kSize + 4, 9);
    cases.push_back({"sub-record of an unknown type", unknown, u"needle", false});
    cases.push_back({"short body", Bytes(10, 0), u"ab", false});

    const KeyRecord key = test::testRecordKey();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::u16string folded = foldCase(c.needle);
        CardTextMatcher matcher(folded, key, locale, strings);
        EXPECT_EQ(parsedCardHolds(c.body, c.needle, locale, strings), c.found);
        EXPECT_EQ(matcher.bodyHolds(c.body), c.found);
        EXPECT_EQ(matcher.bodyHolds(c.body), c.found) << "the matcher is reused";
    }
}

}  // namespace
}  // namespace tw
