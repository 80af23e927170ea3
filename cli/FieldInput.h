#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"

namespace tw {
class Card;
class Field;
class StringTable;
}  // namespace tw

namespace tw::cli {

// Splits "Name=Value" at its first "="; false when there is none or the name is empty.
bool splitAssignment(std::string_view text, std::string& name, std::string& value);

// A field named on the command line: by name without regard to case, or as "#N" (1-based
// position, for fields without a unique name).
struct FieldLookup {
    int index = -1;
    int error = 0;  // 0, or the exit code (not found, ambiguous)
    std::string message;
};
FieldLookup findField(const Card& card, std::string_view nameOrNumber);

// Dates and times as typed: yyyy-mm-dd, hh:mm (or hh:mm:ss), and both joined by a space or a
// "T". The day of the week is filled in. None for anything else or an impossible date.
std::optional<SystemTime> parseDate(std::string_view text);
std::optional<SystemTime> parseTime(std::string_view text);
std::optional<SystemTime> parseDateTime(std::string_view text);

// Text typed on a command line as a multi-line value holds it: each line feed becomes CR LF.
std::u16string withCrLf(std::string_view text);

// A field kind by number (1-16) or by name (text, plain, web, link, email, phone, password,
// date, time, datetime, yesno, list, checkbox, number, capital, words). None when unknown.
std::optional<std::uint16_t> parseKind(std::string_view text);

// Sets a field's value from command-line text, by the field's kind:
//   date, time, date and time   as parseDate, parseTime (on `today`'s date), parseDateTime;
//   check box                   yes/no, y/n, true/false, on/off, 1/0 or the yes/no words;
//   yes/no list                 one of its items, or yes/no as above;
//   selection list              one of its items (without regard to case);
//   every other kind            the text, each line feed stored as CR LF.
// An empty text clears the value. Returns an empty string when set; otherwise why not, and the
// field is unchanged.
std::string setFieldFromText(Field& field, std::string_view text, const StringTable& strings, const SystemTime& today);

}  // namespace tw::cli
