#pragma once

#include <cstdint>
#include <string>

namespace tw {
class Card;
class Field;
class WalletFile;
struct SystemTime;
}  // namespace tw

namespace tw::cli {

class JsonWriter;

// A field kind's name as --kind takes it ("text", "password", "date", ...); the number for
// kinds without one.
std::string kindName(std::uint16_t kind);

// A date and time as programs read them: yyyy-mm-dd, hh:mm or both; empty for a date of year 0.
std::string isoTime(const SystemTime& t, bool date, bool time);

// A field's value for programs, in the forms --set reads: dates yyyy-mm-dd, times hh:mm, both
// "yyyy-mm-dd hh:mm", check boxes yes or no, texts with LF line ends. Empty when not set.
std::string scriptValue(const Field& field);

// One card as a JSON object: id, path, name, form, icon, changed, fields (name, kind, value; a
// password's value is null unless `passwords`), note, attachments (kind, name, size). The card is
// the live record at index `position`.
void writeCardJson(JsonWriter& json, WalletFile& wallet, std::size_t position, const Card& card, bool passwords);

// The CSV header row.
std::string csvHeader();

}  // namespace tw::cli
