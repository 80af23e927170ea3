#include "model/DatePattern.h"

#include <array>
#include <cstdint>

namespace tw {

namespace {

constexpr std::array<std::u16string_view, 7> kDayNames = {
    u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday",
};
constexpr std::array<std::u16string_view, 12> kMonthNames = {
    u"January", u"February", u"March",     u"April",   u"May",      u"June",
    u"July",    u"August",   u"September", u"October", u"November", u"December",
};

void appendNumber(std::u16string& out, unsigned value, unsigned minDigits) {
    std::array<char16_t, 10> digits{};
    std::size_t n = 0;
    do {
        digits[n++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (std::size_t i = n; i < minDigits; ++i) out.push_back(u'0');
    while (n > 0) out.push_back(digits[--n]);
}

// Sakamoto's method over the proleptic Gregorian calendar; -1 for a date it cannot place.
int weekday(unsigned year, unsigned month, unsigned day) {
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 1) return -1;
    static constexpr std::array<int, 12> offsets = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    const unsigned y = month < 3 ? year - 1 : year;
    return static_cast<int>((y + y / 4 - y / 100 + y / 400 + offsets[month - 1] + day) % 7);
}

std::u16string_view nameOrEmpty(std::u16string_view name, bool abbreviated) {
    return abbreviated ? name.substr(0, 3) : name;
}

void appendField(std::u16string& out, char16_t letter, std::size_t run, const SystemTime& t) {
    switch (letter) {
        case u'd':
            if (run <= 2) {
                appendNumber(out, t.day, static_cast<unsigned>(run));
            } else if (const int wd = weekday(t.year, t.month, t.day); wd >= 0) {
                out += nameOrEmpty(kDayNames[static_cast<std::size_t>(wd)], run == 3);
            }
            break;
        case u'M':
            if (run <= 2) {
                appendNumber(out, t.month, static_cast<unsigned>(run));
            } else if (t.month >= 1 && t.month <= 12) {
                out += nameOrEmpty(kMonthNames[t.month - 1u], run == 3);
            }
            break;
        case u'y':
            if (run == 1) {
                appendNumber(out, t.year % 10u, 1);
            } else if (run == 2) {
                appendNumber(out, t.year % 100u, 2);
            } else {
                appendNumber(out, t.year, 4);
            }
            break;
        case u'h':
            appendNumber(out, t.hour % 12u == 0 ? 12u : t.hour % 12u, run >= 2 ? 2 : 1);
            break;
        case u'H':
            appendNumber(out, t.hour, run >= 2 ? 2 : 1);
            break;
        case u'm':
            appendNumber(out, t.minute, run >= 2 ? 2 : 1);
            break;
        case u's':
            appendNumber(out, t.second, run >= 2 ? 2 : 1);
            break;
        case u't': {
            const std::u16string_view marker = t.hour < 12 ? u"AM" : u"PM";
            out += run >= 2 ? marker : marker.substr(0, 1);
            break;
        }
        default:
            break;
    }
}

bool isPatternLetter(char16_t c) {
    return c == u'd' || c == u'M' || c == u'y' || c == u'h' || c == u'H' || c == u'm' || c == u's' || c == u't';
}

}  // namespace

int weekdayOf(unsigned year, unsigned month, unsigned day) {
    return weekday(year, month, day);
}

std::u16string formatDatePattern(std::u16string_view pattern, const SystemTime& when) {
    std::u16string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char16_t c = pattern[i];
        if (c == u'\'' && i + 1 < pattern.size() && pattern[i + 1] == u'\'') {
            out.push_back(u'\'');
            i += 2;
            continue;
        }
        if (c == u'\'') {
            ++i;
            // Literal text up to the closing quotation mark; a doubled mark stands for itself.
            while (i < pattern.size()) {
                if (pattern[i] == u'\'') {
                    if (i + 1 < pattern.size() && pattern[i + 1] == u'\'') {
                        out.push_back(u'\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out.push_back(pattern[i++]);
            }
            continue;
        }
        if (!isPatternLetter(c)) {
            out.push_back(c);
            ++i;
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c) ++run;
        appendField(out, c, run, when);
        i += run;
    }
    return out;
}

std::u16string widenYear(std::u16string_view shortDatePattern) {
    std::u16string pattern(shortDatePattern);
    if (pattern.find(u"yyyy") != std::u16string::npos) return pattern;
    const std::size_t at = pattern.find(u"yy");
    if (at != std::u16string::npos) pattern.replace(at, 2, u"yyyy");
    return pattern;
}

std::u16string removeSeconds(std::u16string_view timePattern, std::u16string_view separator) {
    std::u16string pattern(timePattern);
    for (const std::u16string_view seconds : {std::u16string_view(u"ss"), std::u16string_view(u"s")}) {
        const std::u16string needle = std::u16string(separator) + std::u16string(seconds);
        const std::size_t at = pattern.find(needle);
        if (at != std::u16string::npos) {
            pattern.erase(at, needle.size());
            return pattern;
        }
    }
    return pattern;
}

}  // namespace tw
