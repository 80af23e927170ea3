#pragma once

#include <cstdint>
#include <vector>

#include "model/Card.h"
#include "platform/StringTable.h"
#include "storage/KeyRecord.h"

namespace tw::test {

// A record key with fixed bytes, for bodies whose bytes a test compares.
KeyRecord testRecordKey();
// A loaded string table holding the yes/no words "Yes" (20204) and "No" (20205).
StringTable yesNoStrings();
// `size` bytes counting up from `seed`.
std::vector<std::uint8_t> testBytes(std::size_t size, std::uint8_t seed = 1);
// A card with one field of every kind 1-16 (names, values, dates, lists), a picture, a sound and
// all ten file slots in use, with data sizes that give every padding from 1 to 4. No header.
Card fullCard(const StringTable& strings);

}  // namespace tw::test
