#include "cli/FieldInput.h"

#include <array>
#include <charconv>

#include "cli/Command.h"
#include "model/Card.h"
#include "model/DatePattern.h"
#include "model/DisplayText.h"
#include "model/FieldKind.h"
#include "platform/StringTable.h"
#include "platform/Text.h"

namespace tw::cli {
namespace {

bool number(std::string_view text, std::size_t digits, std::uint16_t& out) {
    if (text.size() != digits) return false;
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    out = static_cast<std::uint16_t>(value);
    return true;
}

bool leapYear(unsigned y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

unsigned daysInMonth(unsigned year, unsigned month) {
    static constexpr std::array<unsigned, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : kDays[month - 1];
}

// Yes (true), no (false), or neither.
std::optional<bool> yesOrNo(std::string_view text, const StringTable& strings) {
    const std::u16string folded = foldCase(fromUtf8(text));
    for (std::u16string_view yes : {u"yes", u"y", u"true", u"on", u"1"})
        if (folded == yes) return true;
    for (std::u16string_view no : {u"no", u"n", u"false", u"off", u"0"})
        if (folded == no) return false;
    if (equalNoCase(folded, strings.text(kYesWordId))) return true;
    if (equalNoCase(folded, strings.text(kNoWordId))) return false;
    return std::nullopt;
}

std::string itemsOf(const Field& field) {
    std::string list;
    for (const std::u16string& item : field.listItems()) list += (list.empty() ? "" : ", ") + toUtf8(item);
    return list.empty() ? "(the list is empty)" : list;
}

}  // namespace

std::u16string withCrLf(std::string_view text) {
    const std::u16string in = fromUtf8(text);
    std::u16string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] == u'\n' && (i == 0 || in[i - 1] != u'\r')) out += u'\r';
        out += in[i];
    }
    return out;
}

bool splitAssignment(std::string_view text, std::string& name, std::string& value) {
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos || eq == 0) return false;
    name = std::string(text.substr(0, eq));
    value = std::string(text.substr(eq + 1));
    return true;
}

FieldLookup findField(const Card& card, std::string_view nameOrNumber) {
    FieldLookup result;
    if (nameOrNumber.size() > 1 && nameOrNumber.front() == '#') {
        std::size_t n = 0;
        const std::string_view digits = nameOrNumber.substr(1);
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (ec == std::errc() && end == digits.data() + digits.size() && n >= 1 && n <= card.fieldCount()) {
            result.index = static_cast<int>(n - 1);
            return result;
        }
        result.error = exit_code::kNotFound;
        result.message = "the card has no field " + std::string(nameOrNumber) + " (it has " +
                         std::to_string(card.fieldCount()) + ")";
        return result;
    }
    const std::u16string name = fromUtf8(nameOrNumber);
    int matches = 0;
    for (std::size_t i = 0; i < card.fieldCount(); ++i) {
        if (!equalNoCase(card.field(i).name(), name)) continue;
        if (matches++ == 0) result.index = static_cast<int>(i);
    }
    if (matches == 0) {
        result.error = exit_code::kNotFound;
        result.message = "the card has no field named '" + std::string(nameOrNumber) + "'";
    } else if (matches > 1) {
        result.index = -1;
        result.error = exit_code::kAmbiguous;
        result.message = std::to_string(matches) + " fields are named '" + std::string(nameOrNumber) +
                         "'; name one by its position, as #N";
    }
    return result;
}

std::optional<SystemTime> parseDate(std::string_view text) {
    SystemTime t;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    if (!number(text.substr(0, 4), 4, t.year) || !number(text.substr(5, 2), 2, t.month) ||
        !number(text.substr(8, 2), 2, t.day))
        return std::nullopt;
    if (t.year < 1601 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > daysInMonth(t.year, t.month))
        return std::nullopt;
    t.dayOfWeek = static_cast<std::uint16_t>(weekdayOf(t.year, t.month, t.day));
    return t;
}

std::optional<SystemTime> parseTime(std::string_view text) {
    SystemTime t;
    if ((text.size() != 5 && text.size() != 8) || text[2] != ':') return std::nullopt;
    if (!number(text.substr(0, 2), 2, t.hour) || !number(text.substr(3, 2), 2, t.minute)) return std::nullopt;
    if (text.size() == 8 && (text[5] != ':' || !number(text.substr(6, 2), 2, t.second))) return std::nullopt;
    if (t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
    return t;
}

std::optional<SystemTime> parseDateTime(std::string_view text) {
    if (text.size() < 16 || (text[10] != ' ' && text[10] != 'T')) return std::nullopt;
    std::optional<SystemTime> date = parseDate(text.substr(0, 10));
    const std::optional<SystemTime> time = parseTime(text.substr(11));
    if (!date || !time) return std::nullopt;
    date->hour = time->hour;
    date->minute = time->minute;
    date->second = time->second;
    return date;
}

std::optional<std::uint16_t> parseKind(std::string_view text) {
    struct Name {
        std::string_view name;
        std::uint16_t kind;
    };
    static constexpr std::array<Name, 18> kNames = {{
        {"text", field_kind::kText},
        {"plain", field_kind::kPlainText},
        {"web", field_kind::kWebAddress},
        {"link", field_kind::kLink},
        {"email", field_kind::kEmail},
        {"phone", field_kind::kTelephone},
        {"telephone", field_kind::kTelephone},
        {"password", field_kind::kPassword},
        {"date", field_kind::kDate},
        {"time", field_kind::kTime},
        {"datetime", field_kind::kDateTime},
        {"yesno", field_kind::kYesNoList},
        {"list", field_kind::kSelectionList},
        {"checkbox", field_kind::kCheckBox},
        {"number", field_kind::kNumber},
        {"capital", field_kind::kFirstCapital},
        {"words", field_kind::kWordCapitals},
        {"url", field_kind::kWebAddress},
    }};
    const std::u16string folded = foldCase(fromUtf8(text));
    for (const Name& n : kNames)
        if (folded == fromUtf8(n.name)) return n.kind;
    std::uint16_t kind = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), kind);
    if (ec == std::errc() && end == text.data() + text.size() && hasEditor(kind)) return kind;
    return std::nullopt;
}

std::string setFieldFromText(Field& field, std::string_view text, const StringTable& strings, const SystemTime& today) {
    const std::uint16_t kind = field.kind();
    if (isDateKind(kind)) {
        if (text.empty()) {
            field.setDate(SystemTime{});
            return {};
        }
        std::optional<SystemTime> when;
        const char* expected = "";
        if (kind == field_kind::kDate) {
            when = parseDate(text);
            expected = "a date as yyyy-mm-dd";
        } else if (kind == field_kind::kTime) {
            when = parseTime(text);
            expected = "a time as hh:mm";
            if (when) {
                when->year = today.year;
                when->month = today.month;
                when->day = today.day;
                when->dayOfWeek = today.dayOfWeek;
            }
        } else {
            when = parseDateTime(text);
            expected = "a date and time as 'yyyy-mm-dd hh:mm'";
        }
        if (!when) return "'" + std::string(text) + "' is not " + expected;
        field.setDate(*when);
        return {};
    }
    if (text.empty()) {
        field.setValue(u"");
        return {};
    }
    if (kind == field_kind::kCheckBox) {
        const std::optional<bool> yes = yesOrNo(text, strings);
        if (!yes) return "'" + std::string(text) + "' is not yes or no";
        field.setValue(*yes ? u"1" : u"0");
        return {};
    }
    if (Field::isListKind(kind)) {
        const std::u16string wanted = fromUtf8(text);
        for (const std::u16string& item : field.listItems())
            if (equalNoCase(item, wanted)) {
                field.setValue(item);
                return {};
            }
        if (kind == field_kind::kYesNoList && field.listItems().size() == 2)
            if (const std::optional<bool> yes = yesOrNo(text, strings)) {
                field.setValue(field.listItems()[*yes ? 0 : 1]);
                return {};
            }
        return "'" + std::string(text) + "' is not one of the list's items: " + itemsOf(field);
    }
    field.setValue(withCrLf(text));
    return {};
}

}  // namespace tw::cli
