#pragma once

#include <cstdint>
#include <string>

namespace tw::setup {

// The setup extension's own string table: the caption (101), the product name (104), "OK" (700),
// the language table (128-139: the block base of each language, as decimal text) and one block
// of eight texts per language (welcome, the remove-settings question, farewell, the three sample
// names, the language list's heading and request).
inline constexpr std::uint32_t kCaption = 101;
inline constexpr std::uint32_t kProductName = 104;
inline constexpr std::uint32_t kEnglishBase = 224;
enum BlockOffset : std::uint32_t {
    kWelcome = 0,
    kRemoveQuestion = 1,
    kFarewell = 2,
    kSampleWallet = 3,
    kSampleForm = 4,
    kSampleImport = 5,
    kLanguagesHeading = 6,
    kLanguageRequest = 7,
};

// The text of an id as stored; nullptr when the table has none.
const char* storedString(std::uint32_t id);

// The text of `id` in a language: ids up to 198 as stored; above, the id moved into the block of
// the language's primary language (`language` & 0xFF; any other language is English), falling
// back to the English id and then to "". UTF-8.
std::string localString(std::uint32_t id, std::uint32_t language);

// The name of a language for the language list ("Deutsch (Deutschland)"); "Language 0x0413"
// for one it does not know.
std::string languageName(std::uint32_t language);

}  // namespace tw::setup
