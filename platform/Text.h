#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace tw {

// UTF-8 <-> UTF-16 conversions. Invalid input is replaced by U+FFFD, never rejected.
std::u16string fromUtf8(std::string_view utf8);
std::string toUtf8(std::u16string_view utf16);
// Writes the unit at text[i] beyond ASCII (with the low half of a surrogate pair after it) as
// UTF-8 at `out`, as toUtf8 does: a lone surrogate becomes U+FFFD. Moves `out` past the 2 to 4
// bytes written and returns the index after the units read.
inline std::size_t putUtf8(char*& out, std::u16string_view text, std::size_t i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        ++i;
    } else if (cp >= 0xD800 && cp < 0xE000) {
        cp = 0xFFFD;
    }
    if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return i + 1;
}
// True when the bytes are well-formed UTF-8 (encoded surrogates and overlong forms are not).
bool isValidUtf8(std::string_view bytes);
// True when every surrogate of the text is half of a pair: text that UTF-8 can carry.
bool isValidUtf16(std::u16string_view text);
// The text cut to at most `maxUnits` code units, one fewer where the cut would split a surrogate
// pair, so that a cut never leaves half a character.
std::u16string_view cutText(std::u16string_view text, std::size_t maxUnits);
// Windows-1252 to UTF-16, for 8-bit text from the device's code page.
std::u16string fromWindows1252(std::string_view bytes);
// UTF-16 to Windows-1252; characters without a code are written as '?'.
std::string toWindows1252(std::u16string_view text);

// Case folding for comparisons without regard to case (Unicode simple folding of Latin,
// Greek and Cyrillic letters, which is what names in a wallet hold).
char16_t foldCase(char16_t c);
std::u16string foldCase(std::u16string_view text);
int compareNoCase(std::u16string_view a, std::u16string_view b);
bool equalNoCase(std::u16string_view a, std::u16string_view b);

// A printf-style format over UTF-16 texts, as the language files use: %s, %d, %u, %x, %%,
// with an optional zero flag and width (%03d). A placeholder without an argument is left empty.
using FormatArg = std::variant<std::u16string_view, std::int64_t>;
std::u16string format(std::u16string_view pattern, std::initializer_list<FormatArg> args);

// Length of a NUL-terminated UTF-16 text held in at most `maxUnits` code units.
std::size_t boundedLength(const char16_t* text, std::size_t maxUnits);

}  // namespace tw
