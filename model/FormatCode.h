#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "model/Form.h"

namespace tw {

// Kind of a field made for a new card from a form definition: 3 web address, 6 telephone,
// 5 e-mail, 8 date, 9 time, 10 date and time for codes 3, 11, 15, 8, 17, 18; kind 1 for every
// other code. The password flag makes it kind 7 whatever the code.
std::uint16_t kindForNewCard(std::uint32_t formatCode, bool password);

// Kind of a field made when an older wallet is converted: 1 for code 0, 3 for 3, 6 for 11,
// 5 for 15, kind 15 (first letter capitalised) for every other code; kind 7 with the password flag.
std::uint16_t kindForConversion(std::uint32_t formatCode, bool password);

// A format keyword of the custom forms file and what it stands for.
struct FormatKeyword {
    std::u16string_view keyword;
    std::uint32_t code;
    bool password;
};

// All keywords, in the order the custom forms reader searches a field line for them.
// "TMF_PIN" is code 0 with the password flag.
std::span<const FormatKeyword> formatKeywords();

// The keyword spelled exactly so (case matters); none for any other text.
std::optional<FormatKeyword> findFormatKeyword(std::u16string_view keyword);

// The keyword that writes a definition back: "TMF_PIN" whenever the password flag is set, else
// the code's keyword; an empty view for codes that have none (5, 18 and unknown codes).
std::u16string_view formatKeywordFor(std::uint32_t formatCode, bool password);

}  // namespace tw
