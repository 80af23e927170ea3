#include <gtest/gtest.h>

#include <string>

#include "model/DatePattern.h"
#include "model/DisplayText.h"
#include "model/FieldKind.h"
#include "platform/Text.h"

namespace tw {
namespace {

// Tuesday 7 March 2006, 14:07:09; the stored weekday is deliberately wrong.
constexpr SystemTime kAfternoon{2006, 3, 0, 7, 14, 7, 9, 0};

SystemTime at(std::uint16_t year, std::uint16_t month, std::uint16_t day, std::uint16_t hour) {
    return SystemTime{year, month, 0, day, hour, 5, 0, 0};
}

TEST(DatePattern, Pictures) {
    struct Case {
        std::u16string pattern;
        SystemTime when;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"M/d/yy", kAfternoon, u"3/7/06"},
        {u"dd.MM.yy", kAfternoon, u"07.03.06"},
        {u"yyyy-MM-dd", kAfternoon, u"2006-03-07"},
        {u"dddd, MMMM d, yyyy", kAfternoon, u"Tuesday, March 7, 2006"},
        {u"ddd d MMM y", kAfternoon, u"Tue 7 Mar 6"},
        {u"yyyyy", kAfternoon, u"2006"},
        {u"h:mm:ss tt", kAfternoon, u"2:07:09 PM"},
        {u"HH:mm:ss", kAfternoon, u"14:07:09"},
        {u"H.mm.ss", kAfternoon, u"14.07.09"},
        {u"hh:m:s t", kAfternoon, u"02:7:9 P"},
        {u"h tt", at(2006, 1, 1, 0), u"12 AM"},
        {u"h tt", at(2006, 1, 1, 12), u"12 PM"},
        {u"H:mm", at(2006, 1, 1, 9), u"9:05"},
        // Literal text: letters inside quotes are not pictures; a doubled quote is a quote.
        {u"d 'de' MMMM", kAfternoon, u"7 de March"},
        {u"'It''s' h 'o''clock'", kAfternoon, u"It's 2 o'clock"},
        {u"yyyy''MM", kAfternoon, u"2006'03"},
        {u"d 'unclosed dMy", kAfternoon, u"7 unclosed dMy"},
        {u"yyyy/yy", at(5, 1, 1, 0), u"0005/05"},
        // Out-of-range stored values never index the name tables.
        {u"M MMM dddd", at(2006, 13, 1, 0), u"13  "},
        {u"d dddd", at(2006, 2, 0, 0), u"0 "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatDatePattern(c.pattern, c.when), c.expected) << toUtf8(c.pattern);
    }
}

TEST(DatePattern, YearWidening) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"M/d/yy", u"M/d/yyyy"},       {u"dd.MM.yy", u"dd.MM.yyyy"},
        {u"yyyy-MM-dd", u"yyyy-MM-dd"}, {u"yy/MM/dd yy", u"yyyy/MM/dd yy"},  // only the first
        {u"d/M/y", u"d/M/y"},           {u"", u""},
    };
    for (const auto& [pattern, expected] : cases) EXPECT_EQ(widenYear(pattern), expected) << toUtf8(pattern);
}

TEST(DatePattern, SecondsRemoval) {
    struct Case {
        std::u16string pattern;
        std::u16string separator;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"h:mm:ss tt", u":", u"h:mm tt"}, {u"HH:mm:ss", u":", u"HH:mm"},       {u"H.mm.ss", u".", u"H.mm"},
        {u"H:mm:s", u":", u"H:mm"},        {u"tt hh:mm:ss", u":", u"tt hh:mm"}, {u"HH:mm", u":", u"HH:mm"},
        {u"HH:mm:ss", u".", u"HH:mm:ss"},  // the separator does not match: kept whole
    };
    for (const Case& c : cases) {
        EXPECT_EQ(removeSeconds(c.pattern, c.separator), c.expected) << toUtf8(c.pattern);
    }
}

TEST(DisplayText, DateAndTimeKindsPerLocale) {
    struct Case {
        LocalePatterns locale;
        std::u16string date;
        std::u16string time;
    };
    const Case cases[] = {
        {{u"M/d/yy", u"h:mm:ss tt", u":"}, u"3/7/2006", u"2:07 PM"},
        {{u"dd.MM.yy", u"HH:mm:ss", u":"}, u"07.03.2006", u"14:07"},
        {{u"yyyy-MM-dd", u"HH:mm:ss", u":"}, u"2006-03-07", u"14:07"},
        {{u"d.M.yyyy", u"H.mm.ss", u"."}, u"7.3.2006", u"14.07"},
        {{u"dd/MM/yy", u"HH:mm", u":"}, u"07/03/2006", u"14:07"},
    };
    const StringTable strings;
    for (const Case& c : cases) {
        SCOPED_TRACE(toUtf8(c.locale.shortDate + u" " + c.locale.time));
        EXPECT_EQ(displayText(field_kind::kDate, u"", kAfternoon, c.locale, strings), c.date);
        EXPECT_EQ(displayText(field_kind::kTime, u"", kAfternoon, c.locale, strings), c.time);
        EXPECT_EQ(displayText(field_kind::kDateTime, u"", kAfternoon, c.locale, strings), c.date + u"  " + c.time);
    }
}

TEST(DisplayText, NoDateMeansEmptyWhateverTheTime) {
    const LocalePatterns us{u"M/d/yy", u"h:mm:ss tt", u":"};
    const SystemTime timeOnly{0, 0, 0, 0, 14, 7, 0, 0};
    const StringTable strings;
    for (const std::uint16_t kind : {field_kind::kDate, field_kind::kTime, field_kind::kDateTime}) {
        EXPECT_EQ(displayText(kind, u"stale text", SystemTime{}, us, strings), u"") << kind;
        EXPECT_EQ(displayText(kind, u"", timeOnly, us, strings), u"") << kind;
    }
}

TEST(DisplayText, CheckBoxAndValueKinds) {
    const LocalePatterns us{u"M/d/yy", u"h:mm:ss tt", u":"};
    StringTable strings;
    strings.set(kYesWordId, u"Yes");
    strings.set(kNoWordId, u"No");
    struct Case {
        std::uint16_t kind;
        std::u16string value;
        std::u16string expected;
    };
    const Case cases[] = {
        {field_kind::kCheckBox, u"1", u"Yes"},
        {field_kind::kCheckBox, u"0", u"No"},
        {field_kind::kCheckBox, u"2", u""},
        {field_kind::kCheckBox, u"Yes", u""},
        {field_kind::kCheckBox, u"", u""},
        {field_kind::kText, u"plain", u"plain"},
        {field_kind::kPassword, u"s3cret", u"s3cret"},  // masking is the view's business
        {field_kind::kYesNoList, u"No", u"No"},
        {field_kind::kSelectionList, u"Blue", u"Blue"},
        {field_kind::kNumber, u"42", u"42"},
        {99, u"kept", u"kept"},
        {field_kind::kText, u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(displayText(c.kind, c.value, kAfternoon, us, strings), c.expected)
            << c.kind << " " << toUtf8(c.value);
    }
    EXPECT_EQ(displayText(field_kind::kCheckBox, u"1", kAfternoon, us, StringTable{}), u"*");
}

TEST(DisplayText, CheckState) {
    EXPECT_EQ(checkState(field_kind::kCheckBox, u"1"), CheckState::Checked);
    EXPECT_EQ(checkState(field_kind::kCheckBox, u"0"), CheckState::Unchecked);
    for (const std::u16string value : {u"", u"01", u"yes", u"2"}) {
        EXPECT_EQ(checkState(field_kind::kCheckBox, value), CheckState::Undecided) << toUtf8(value);
    }
    EXPECT_EQ(checkState(field_kind::kText, u"1"), std::nullopt);
    EXPECT_EQ(checkState(field_kind::kYesNoList, u"1"), std::nullopt);
}

}  // namespace
}  // namespace tw
