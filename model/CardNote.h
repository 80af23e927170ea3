#pragma once

#include <cstdint>
#include <string_view>

namespace tw {

class Card;
class StringTable;

// String id of the name a card's note field is given.
constexpr std::uint32_t kNoteNameId = 24516;

// Sets the card's note: the value of its field marked as the note (style bit 8), or, when it has
// none, of a new text field appended with that mark, named by string kNoteNameId. An empty text
// clears the note and adds nothing. False when a note field was needed and the card is full.
bool setNote(Card& card, std::u16string_view text, const StringTable& strings);

}  // namespace tw
