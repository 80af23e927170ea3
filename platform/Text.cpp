#include "platform/Text.h"

#include <array>

namespace tw {

std::u16string fromUtf8(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        auto cont = [&](std::size_t k) {
            return i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        };
        auto bits = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(s[i + k]) & 0x3F); };
        if (b0 < 0x80) {
            cp = b0;
        } else if (b0 >= 0xC2 && b0 < 0xE0 && cont(1)) {
            cp = (static_cast<char32_t>(b0 & 0x1F) << 6) | bits(1);
            len = 2;
        } else if (b0 >= 0xE0 && b0 < 0xF0 && cont(1) && cont(2)) {
            cp = (static_cast<char32_t>(b0 & 0x0F) << 12) | (bits(1) << 6) | bits(2);
            len = 3;
            if (cp < 0x800 || (cp >= 0xD800 && cp < 0xE000)) cp = 0xFFFD;
        } else if (b0 >= 0xF0 && b0 < 0xF5 && cont(1) && cont(2) && cont(3)) {
            cp = (static_cast<char32_t>(b0 & 0x07) << 18) | (bits(1) << 12) | (bits(2) << 6) | bits(3);
            len = 4;
            if (cp < 0x10000 || cp > 0x10FFFF) cp = 0xFFFD;
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string toUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        // A run of ASCII goes over as it is.
        std::size_t ascii = i;
        while (ascii < s.size() && s[ascii] < 0x80) ++ascii;
        if (ascii > i) {
            const std::size_t at = out.size();
            out.resize(at + (ascii - i));
            for (std::size_t k = i; k < ascii; ++k) out[at + k - i] = static_cast<char>(s[k]);
            i = ascii - 1;
            continue;
        }
        // Beyond ASCII: 2 to 4 bytes.
        const std::size_t at = out.size();
        out.resize(at + 4);
        char* end = out.data() + at;
        i = putUtf8(end, s, i) - 1;
        out.resize(static_cast<std::size_t>(end - out.data()));
    }
    return out;
}

bool isValidUtf8(std::string_view s) {
    const std::u16string round = fromUtf8(s);
    for (char16_t c : round)
        if (c == 0xFFFD) return toUtf8(round) == s;  // a literal U+FFFD in the input is valid
    return true;
}

bool isValidUtf16(std::u16string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] < 0xD800 || s[i] >= 0xE000) continue;
        if (s[i] >= 0xDC00 || i + 1 == s.size() || s[i + 1] < 0xDC00 || s[i + 1] >= 0xE000) return false;
        ++i;
    }
    return true;
}

std::u16string_view cutText(std::u16string_view text, std::size_t maxUnits) {
    if (text.size() <= maxUnits) return text;
    const bool splitsPair = maxUnits > 0 && text[maxUnits - 1] >= 0xD800 && text[maxUnits - 1] < 0xDC00 &&
                            text[maxUnits] >= 0xDC00 && text[maxUnits] < 0xE000;
    return text.substr(0, splitsPair ? maxUnits - 1 : maxUnits);
}

namespace {
// Windows-1252 bytes 0x80..0x9F; the five undefined ones map to themselves.
constexpr std::array<char16_t, 32> kCp1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
}  // namespace

std::u16string fromWindows1252(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out.push_back(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : static_cast<char16_t>(b));
    }
    return out;
}

std::string toWindows1252(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        char mapped = '?';
        for (std::size_t i = 0; i < kCp1252High.size(); ++i)
            if (kCp1252High[i] == c) mapped = static_cast<char>(0x80 + i);
        out.push_back(mapped);
    }
    return out;
}

char16_t foldCase(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c < 0xC0) return c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<char16_t>(c + 32);
    if (c >= 0x100 && c <= 0x17F) {  // Latin Extended-A: pairs, with a few odd ones
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? static_cast<char16_t>(c + 1) : c;
        if (c == 0x178) return 0xFF;
        if (c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F)
            return (c & 1) ? c : static_cast<char16_t>(c + 1);
        return c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return static_cast<char16_t>(c + 32);  // Greek
    if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 32);                // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 80);
    return c;
}

std::u16string foldCase(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out) c = foldCase(c);
    return out;
}

int compareNoCase(std::u16string_view a, std::u16string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t x = foldCase(a[i]);
        const char16_t y = foldCase(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool equalNoCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && compareNoCase(a, b) == 0;
}

std::u16string format(std::u16string_view pattern, std::initializer_list<FormatArg> args) {
    std::u16string out;
    auto next = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i];
        if (c != u'%' || i + 1 >= pattern.size()) {
            out.push_back(c);
            continue;
        }
        std::size_t j = i + 1;
        if (pattern[j] == u'%') {
            out.push_back(u'%');
            i = j;
            continue;
        }
        bool zero = false;
        if (pattern[j] == u'0') {
            zero = true;
            ++j;
        }
        std::size_t width = 0;
        while (j < pattern.size() && pattern[j] >= u'0' && pattern[j] <= u'9')
            width = width * 10 + (pattern[j++] - u'0');
        while (j < pattern.size() && (pattern[j] == u'l' || pattern[j] == u'h')) ++j;
        if (j >= pattern.size()) {
            out.append(pattern.substr(i));
            break;
        }
        const char16_t conv = pattern[j];
        if (conv != u's' && conv != u'd' && conv != u'u' && conv != u'x' && conv != u'i') {
            out.append(pattern.substr(i, j - i + 1));
            i = j;
            continue;
        }
        std::u16string piece;
        if (next != args.end()) {
            const FormatArg& arg = *next++;
            if (const auto* s = std::get_if<std::u16string_view>(&arg)) {
                piece = std::u16string(*s);
            } else {
                const std::int64_t v = std::get<std::int64_t>(arg);
                std::string digits;
                if (conv == u'x') {
                    static const char* hex = "0123456789abcdef";
                    auto u = static_cast<std::uint64_t>(v);
                    do {
                        digits.insert(digits.begin(), hex[u & 15]);
                        u >>= 4;
                    } while (u != 0);
                } else {
                    digits = std::to_string(v);
                }
                const bool negative = !digits.empty() && digits[0] == '-';
                if (negative) digits.erase(0, 1);
                while (zero && digits.size() + (negative ? 1 : 0) < width) digits.insert(digits.begin(), '0');
                if (negative) digits.insert(digits.begin(), '-');
                piece = fromUtf8(digits);
            }
        }
        while (piece.size() < width) piece.insert(piece.begin(), u' ');
        out += piece;
        i = j;
    }
    return out;
}

std::size_t boundedLength(const char16_t* text, std::size_t maxUnits) {
    std::size_t n = 0;
    while (n < maxUnits && text[n] != 0) ++n;
    return n;
}

}  // namespace tw
