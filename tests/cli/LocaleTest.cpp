#include <gtest/gtest.h>

#include <cstdlib>

#include "cli/FallbackTexts.h"
#include "cli/FieldInput.h"
#include "cli/Locale.h"
#include "model/DatePattern.h"
#include "platform/StringTable.h"
#include "platform/Text.h"

namespace tw::cli {
namespace {

TEST(Locale, StrftimeFormatsBecomePictures) {
    const struct {
        const char* format;
        const char16_t* picture;
    } cases[] = {
        {"%m/%d/%Y", u"MM/dd/yyyy"},
        {"%d.%m.%y", u"dd.MM.yy"},
        {"%-d/%-m/%Y", u"d/M/yyyy"},
        {"%e %b %Y", u"d MMM yyyy"},
        {"%A %d %B %Y", u"dddd dd MMMM yyyy"},
        {"%F", u"yyyy-MM-dd"},
        {"%D", u"MM/dd/yy"},
        {"%r", u"hh:mm:ss tt"},
        {"%T", u"HH:mm:ss"},
        {"%l:%M %p", u"h:mm tt"},
        {"%H h %M", u"HH' h 'mm"},            // literal text with letters is quoted whole
        {"%Ey/%Om", u"yy/MM"},                // alternative-representation modifiers are dropped
        {"%Y年%m月%d日", u"yyyy年MM月dd日"},  // other text is kept
        {"it's %H", u"'it''s 'HH"},
    };
    for (const auto& c : cases) {
        const auto picture = pictureFromStrftime(c.format);
        ASSERT_TRUE(picture) << c.format;
        EXPECT_EQ(toUtf8(*picture), toUtf8(c.picture)) << c.format;
    }
    for (const char* bad : {"%U", "%Z %H", "%", "%-"}) EXPECT_FALSE(pictureFromStrftime(bad)) << bad;
    // Quoted literal text comes out as it went in.
    const SystemTime t{2025, 3, 5, 14, 9, 5, 0, 0};
    EXPECT_EQ(formatDatePattern(*pictureFromStrftime("it's %H h %M, day %d"), t), u"it's 09 h 05, day 14");
}

TEST(Locale, PatternsFallBackPerPart) {
    LocalePatterns p = localePatternsFrom("%d.%m.%Y", "%H.%M.%S");
    EXPECT_EQ(p.shortDate, u"dd.MM.yyyy");
    EXPECT_EQ(p.time, u"HH.mm.ss");
    EXPECT_EQ(p.timeSeparator, u".");
    p = localePatternsFrom("%U", "");  // nothing usable: the defaults
    EXPECT_EQ(p.shortDate, defaultLocalePatterns().shortDate);
    EXPECT_EQ(p.time, defaultLocalePatterns().time);
    EXPECT_EQ(localePatternsFrom("%F", "%H時%M分%S秒").timeSeparator, u"時");

    ::setenv("LC_ALL", "C", 1);
    p = userLocalePatterns();
    EXPECT_EQ(p.shortDate, u"M/d/yyyy");
    EXPECT_EQ(p.time, u"h:mm:ss tt");
}

TEST(FieldInput, DatesAndTimes) {
    const auto date = parseDate("2024-02-29");
    ASSERT_TRUE(date);
    EXPECT_EQ(date->year, 2024);
    EXPECT_EQ(date->dayOfWeek, 4);  // a Thursday
    for (const char* bad : {"2023-02-29", "2024-13-01", "2024-04-31", "1600-12-31", "2024-2-01", "2024/02/01", ""})
        EXPECT_FALSE(parseDate(bad)) << bad;
    EXPECT_TRUE(parseTime("23:59:59"));
    for (const char* bad : {"24:00", "12:60", "7:05", "12:00:60", "12-00"}) EXPECT_FALSE(parseTime(bad)) << bad;
    const auto both = parseDateTime("2025-01-01T13:05");
    ASSERT_TRUE(both);
    EXPECT_EQ(both->hour, 13);
    EXPECT_EQ(both->minute, 5);
    EXPECT_FALSE(parseDateTime("2025-01-01 13"));
}

TEST(FieldInput, KindsByNameOrNumber) {
    EXPECT_EQ(parseKind("Password"), 7);
    EXPECT_EQ(parseKind("datetime"), 10);
    EXPECT_EQ(parseKind("16"), 16);
    for (const char* bad : {"0", "17", "colour", ""}) EXPECT_FALSE(parseKind(bad)) << bad;
}

TEST(FallbackTexts, FillOnlyATableWithoutTexts) {
    StringTable empty;
    loadFallbackTexts(empty);
    EXPECT_EQ(empty.text(39000), u"Credit Card");  // from the built-in English tables
    EXPECT_EQ(empty.text(20204), u"Yes");
    EXPECT_EQ(empty.text(24516), u"Note");
    StringTable loaded;
    loaded.set(39000, u"Kreditkarte");
    loadFallbackTexts(loaded);
    EXPECT_EQ(loaded.text(39000), u"Kreditkarte");
    EXPECT_EQ(loaded.text(20204), u"?");
}

}  // namespace
}  // namespace tw::cli
