#include "cli/Locale.h"

#include <langinfo.h>

#include <algorithm>
#include <clocale>
#include <string>

#include "platform/Text.h"

namespace tw::cli {
namespace {

bool isPictureLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '\'';
}

// Literal text (UTF-8). Text that holds letters or quotation marks is quoted whole, each
// quotation mark doubled, so that none of it is read as a field.
void appendLiteral(std::u16string& out, std::string_view text) {
    if (std::none_of(text.begin(), text.end(), isPictureLetter)) {
        out += fromUtf8(text);
        return;
    }
    out += u'\'';
    for (char16_t c : fromUtf8(text)) {
        if (c == u'\'') out += u'\'';
        out += c;
    }
    out += u'\'';
}

// The picture for one conversion character; `unpadded` for the "-" and "_" flags.
std::optional<std::u16string> conversion(char c, bool unpadded) {
    switch (c) {
        case 'Y':
            return u"yyyy";
        case 'y':
            return u"yy";
        case 'm':
            return unpadded ? u"M" : u"MM";
        case 'd':
            return unpadded ? u"d" : u"dd";
        case 'e':
            return u"d";
        case 'b':
        case 'h':
            return u"MMM";
        case 'B':
            return u"MMMM";
        case 'a':
            return u"ddd";
        case 'A':
            return u"dddd";
        case 'H':
            return unpadded ? u"H" : u"HH";
        case 'k':
            return u"H";
        case 'I':
            return unpadded ? u"h" : u"hh";
        case 'l':
            return u"h";
        case 'M':
            return unpadded ? u"m" : u"mm";
        case 'S':
            return unpadded ? u"s" : u"ss";
        case 'p':
        case 'P':
            return u"tt";
        case 'D':
            return u"MM/dd/yy";
        case 'F':
            return u"yyyy-MM-dd";
        case 'T':
            return u"HH:mm:ss";
        case 'R':
            return u"HH:mm";
        case 'r':
            return u"hh:mm:ss tt";
        case 'n':
        case 't':
            return u" ";
        case '%':
            return u"%";
        default:
            return std::nullopt;
    }
}

bool holdsField(std::u16string_view picture) {
    bool quoted = false;
    for (char16_t c : picture) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && std::u16string_view(u"dMyhHmst").find(c) != std::u16string_view::npos)
            return true;
    }
    return false;
}

std::u16string timeSeparatorOf(std::u16string_view picture) {
    const std::size_t hours = picture.find_first_of(u"hH");
    if (hours == std::u16string_view::npos) return u":";
    const std::size_t afterHours = picture.find_first_not_of(u"hH", hours);
    const std::size_t minutes = picture.find(u'm', hours);
    if (afterHours == std::u16string_view::npos || minutes == std::u16string_view::npos || minutes <= afterHours)
        return u":";
    std::u16string separator;
    for (char16_t c : picture.substr(afterHours, minutes - afterHours))
        if (c != u'\'') separator += c;
    return separator.empty() ? u":" : separator;
}

}  // namespace

LocalePatterns defaultLocalePatterns() {
    return LocalePatterns{u"M/d/yyyy", u"h:mm:ss tt", u":"};
}

std::optional<std::u16string> pictureFromStrftime(std::string_view format) {
    std::u16string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            const std::size_t end = std::min(format.find('%', i), format.size());
            appendLiteral(out, format.substr(i, end - i));
            i = end - 1;
            continue;
        }
        bool unpadded = false;
        ++i;
        while (i < format.size() && (format[i] == '-' || format[i] == '_' || format[i] == '0' || format[i] == '^' ||
                                     format[i] == '#' || format[i] == 'E' || format[i] == 'O')) {
            if (format[i] == '-' || format[i] == '_') unpadded = true;
            ++i;
        }
        if (i >= format.size()) return std::nullopt;
        const std::optional<std::u16string> picture = conversion(format[i], unpadded);
        if (!picture) return std::nullopt;
        out += *picture;
    }
    return out;
}

LocalePatterns localePatternsFrom(std::string_view dateFormat, std::string_view timeFormat) {
    LocalePatterns patterns = defaultLocalePatterns();
    if (const auto date = pictureFromStrftime(dateFormat); date && holdsField(*date)) patterns.shortDate = *date;
    if (const auto time = pictureFromStrftime(timeFormat); time && holdsField(*time)) {
        patterns.time = *time;
        patterns.timeSeparator = timeSeparatorOf(*time);
    }
    return patterns;
}

LocalePatterns userLocalePatterns() {
    const char* current = std::setlocale(LC_TIME, nullptr);
    const std::string previous = current != nullptr ? current : "C";
    const char* chosen = std::setlocale(LC_TIME, "");
    LocalePatterns patterns = defaultLocalePatterns();
    if (chosen != nullptr) {
        const std::string name = chosen;
        if (name != "C" && name != "POSIX" && name.rfind("C.", 0) != 0)
            patterns = localePatternsFrom(nl_langinfo(D_FMT), nl_langinfo(T_FMT));
    }
    std::setlocale(LC_TIME, previous.c_str());
    return patterns;
}

}  // namespace tw::cli
