#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// The INI text that QSettings (IniFormat) reads and writes, without Qt. Entries are named by
// their full key: the section and the key within it joined by '/', as QSettings names them
// ("SOFTWARE/Halvorsgarden/%" for "[SOFTWARE]" and "Halvorsgarden\%25="); keys outside a
// section (the "[General]" section) have no '/'.
//
// A value is the text QSettings returns for it as a string; nullopt marks an entry that QSettings
// reads as something else (a list of texts, or a stored variant), which a reader of texts treats
// as unreadable but a writer keeps as it was.
struct IniValue {
    std::optional<std::u16string> text;
    std::string raw;  // the value as written in the file, for entries without text

    bool operator==(const IniValue&) const = default;
};

using IniEntries = std::map<std::u16string, IniValue>;

// Parses a whole file: sections, comments (';'), quoted and escaped values, continuation lines,
// a leading UTF-8 byte-order mark. Lines it cannot read are skipped, as QSettings skips them.
IniEntries parseIniFile(std::string_view bytes);

// The file QSettings would write for these entries: one "[section]" per first key component
// ("[General]" for keys without one), keys and values escaped so that QSettings reads back
// exactly the same texts.
std::string writeIniFile(const IniEntries& entries);

}  // namespace tw
