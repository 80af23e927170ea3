// The text conversions that decide how outside bytes are read: which bytes are UTF-8, and what
// the 8-bit code page makes of the rest.
#include <gtest/gtest.h>

#include "platform/Text.h"

namespace tw {
namespace {

TEST(Utf8, OnlyWellFormedBytesAreUtf8) {
    const struct {
        const char* what;
        std::string bytes;
        bool valid;
    } cases[] = {
        {"plain ASCII", "abc", true},
        {"two, three and four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", true},
        {"the last code point before the surrogates", "\xED\x9F\xBF", true},
        {"the first code point after them", "\xEE\x80\x80", true},
        {"a literal replacement character", "\xEF\xBF\xBD", true},
        {"the highest code point", "\xF4\x8F\xBF\xBF", true},
        {"an encoded high surrogate", "\xED\xA0\x80", false},
        {"an encoded low surrogate", "\xED\xBF\xBF", false},
        {"a surrogate pair encoded as two characters", "\xED\xA0\xBD\xED\xB8\x80", false},
        {"an overlong slash", "\xC0\xAF", false},
        {"an overlong three-byte form", "\xE0\x80\xAF", false},
        {"an overlong four-byte form", "\xF0\x80\x80\xAF", false},
        {"past the highest code point", "\xF4\x90\x80\x80", false},
        {"a cut sequence", "ab\xE2\x82", false},
        {"a lone continuation byte", "a\x80", false},
        {"Windows-1252 text",
         "Gr\xFC\xDF"
         "e",
         false},
        {"a replacement character beside a bad byte", "\xEF\xBF\xBD\xFF", false},
    };
    for (const auto& c : cases) EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << c.what;
}

TEST(Windows1252, TheBytes80To9FAreTheCodePagesOwnCharacters) {
    std::string bytes;
    for (int b = 0x80; b <= 0x9F; ++b) bytes.push_back(static_cast<char>(b));
    // The five bytes the code page leaves undefined stay the control characters of their number.
    const std::u16string expected =
        u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039"
        u"\u0152\u008D\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014"
        u"\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178";
    EXPECT_EQ(fromWindows1252(bytes), expected);
    EXPECT_EQ(toWindows1252(expected), bytes);
    EXPECT_EQ(fromWindows1252("\xA0\xE9\xFF"), u"\u00A0\u00E9\u00FF");
}

}  // namespace
}  // namespace tw
