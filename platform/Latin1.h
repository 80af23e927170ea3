#pragma once

#include <cstdint>
#include <string_view>

namespace tw {

// Text whose every UTF-16 unit is below 0x100 kept in one byte a unit, and made UTF-16LE again.

// Writes `text` at `out`, one byte a unit. False when a unit is 0x100 or above (what was written
// of `text` by then is to be ignored).
bool narrowToLatin1(char* out, std::u16string_view text);

// Writes the bytes of `text` at `out` as UTF-16LE units, two bytes each.
void widenToUtf16le(std::uint8_t* out, std::string_view text);

}  // namespace tw
