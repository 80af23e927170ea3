#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/File.h"
#include "platform/StringTable.h"

namespace tw {

// The language files: every user-visible text by numeric string id.
//
// Source file (resources/lang/XXXX/*.txt) and module (halvotmpro2006.exe.XXXX.mui) are UTF-8
// text, one entry per line as  <decimal id> TAB <text> ; lines starting with '#' are comments,
// blank lines are ignored, a CR before the line feed is dropped. In the text, the escapes \t, \n,
// \r and \\ stand for tab, line feed, carriage return and backslash; no other escape and no raw
// control character is allowed. A module begins with the header line
//     HALVOTMPRO-LANGUAGE TAB 1 TAB <language id, 4 hex digits>
// and holds each id once, sorted. docs/language-files.md describes both.

inline constexpr std::size_t kLanguageFileMaxBytes = 4u << 20;  // whole file
inline constexpr std::size_t kLanguageLineMaxBytes = 16384;     // one line, before unescaping
inline constexpr std::size_t kLanguageTextMaxUnits = 4096;      // one text, UTF-16 units
inline constexpr std::uint32_t kLanguageMaxId = 65535;          // string ids are 16-bit
inline constexpr std::size_t kLanguageMaxIssues = 50;           // parsing stops after this many
inline constexpr std::string_view kLanguageModuleMagic = "HALVOTMPRO-LANGUAGE";
inline constexpr int kLanguageModuleVersion = 1;

// A fault found while parsing; `line` is 1-based, 0 for the file as a whole.
struct LanguageIssue {
    std::size_t line = 0;
    std::string message;
};

// The outcome of parsing one file. Lines with faults are left out of `texts`.
struct LanguageTexts {
    std::uint16_t language = 0;  // from a module's header; 0 for a source file
    std::map<std::uint32_t, std::u16string> texts;
    std::map<std::uint32_t, std::size_t> lines;  // the line each id was read from
    std::vector<LanguageIssue> issues;
    bool ok() const { return issues.empty(); }
};

// Parses a source file's bytes (no header).
LanguageTexts parseLanguageSource(std::string_view bytes);
// Parses a module's bytes: the header line, then entries as in a source file.
LanguageTexts parseLanguageModule(std::string_view bytes);

// The escaped form of a text, as it stands after the TAB of an entry.
std::string escapeLanguageText(std::u16string_view text);
// The text of an escaped entry; nullopt with `*error` set (optional) when the text breaks the rules.
std::optional<std::u16string> unescapeLanguageText(std::string_view escaped, std::string* error = nullptr);

// A module's bytes: header and one entry per text, in id order.
std::string writeLanguageModule(std::uint16_t language, const std::map<std::uint32_t, std::u16string>& texts);

enum class LanguageLoad {
    Loaded,      // the table holds the file's texts
    Missing,     // no such file
    TooLarge,    // larger than kLanguageFileMaxBytes
    Unreadable,  // a read failed
    NotModule,   // the header line is missing or wrong
    Damaged,     // the header is right but some lines are not
};

// Reads a whole file of at most kLanguageFileMaxBytes into `*bytes`.
LanguageLoad readLanguageBytes(FileSystem& files, const std::string& path, std::string* bytes);

// Loads a module into `table`, replacing its contents. A module with any fault is refused as a
// whole and the table is left as it was; `issues` (optional) receives the faults.
LanguageLoad loadLanguageModuleFile(FileSystem& files, const std::string& path, StringTable& table,
                                    std::uint16_t* language = nullptr, std::vector<LanguageIssue>* issues = nullptr);

}  // namespace tw
