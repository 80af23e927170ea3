#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/StringTable.h"

namespace tw {

// Menu and soft-key captions are written in the menu definitions as English keywords in capitals
// ("NEW CARD", "DELETE FIELD", "EXPORT FORM"); when a menu bar is built each caption is replaced
// by the text of its string id in the loaded language.
struct MenuKeyword {
    std::u16string_view keyword;
    std::uint32_t id;
};

// The whole table, each keyword once, ids unique.
std::span<const MenuKeyword> menuKeywords();

// The string id of a caption, compared without regard to case; nullopt for a caption that is
// not a keyword.
std::optional<std::uint32_t> menuKeywordId(std::u16string_view caption);

// The localised text of a keyword caption; any other caption comes back unchanged.
std::u16string localizeMenuCaption(const StringTable& strings, std::u16string_view caption);

}  // namespace tw
