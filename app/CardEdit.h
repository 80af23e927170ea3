#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/Card.h"
#include "model/DisplayText.h"
#include "platform/StringTable.h"
#include "storage/WalletFile.h"

namespace tw::app {

// The editor a field's value is changed in, by the field's kind.
enum class EditorKind : int { None = 0, Text, Date, Time, DateTime, List, CheckBox };
EditorKind editorKind(std::uint16_t kind);

// Automatic capitals of the text editor: kind 15 the first letter of the text, kind 16 the first
// letter of every word.
enum class Capitals : int { None = 0, FirstLetter, EveryWord };
Capitals capitalsFor(std::uint16_t kind);
// The text with the capitals the kind asks for applied to the letters that begin it or its words
// (letters typed in upper case stay as they are).
std::u16string withCapitals(std::u16string_view text, Capitals capitals);

// The card name's longest length.
inline constexpr std::size_t kMaxCardName = 255;
// String ids: the caption of the card name row, the no-choice item of lists ("<%s>").
inline constexpr std::uint32_t kNameCaptionId = 30002;
inline constexpr std::uint32_t kNoChoiceId = 20507;

// Writing an editor's value back to its field. Each sets the value only when it differs, so a
// field left as it was keeps no change mark.
void storeText(Field& field, std::u16string_view text);
// No value clears the date.
void storeDate(Field& field, const std::optional<SystemTime>& when);
// "1" checked, "0" unchecked, "2" undecided.
void storeCheck(Field& field, CheckState state);
// The no-choice item (or nothing chosen) clears the value; otherwise the chosen or typed text.
void storeListChoice(Field& field, bool noChoice, std::u16string_view text);

// The date a picker opens on: the field's date when it holds one; none for a field without one.
std::optional<SystemTime> storedDate(const Field& field);

// The card's name as stored (empty for a card without a header).
std::u16string cardName(const Card& card, const KeyRecord& key);
// Renames the card (cut to 255 units); false when the name is the same or the card has no header.
bool renameCard(Card& card, std::u16string_view name, const KeyRecord& key, const SystemTime& now);

// True when two cards show the same to the user and store the same: name, icon, display
// settings, every field (kind, style, colours, name, value, date, list), picture, sound and file
// attachments. Change marks and read-back descriptors are not compared.
bool sameContent(const Card& a, const Card& b, const KeyRecord& key);

// --- Form design -------------------------------------------------------------------------------
// The name of a field added in form design, and its kind.
inline constexpr std::uint32_t kNewFieldNameId = 20519;
inline constexpr std::uint16_t kNewFieldKind = 15;

// Appends a new field of kind 15 with the default name; its index, or -1 with 255 fields.
int addDesignField(Card& card, const StringTable& strings);
// Moves field `from` to place `to`, the others keeping their order. False when either is out of
// range or they are the same.
bool moveField(Card& card, std::size_t from, std::size_t to);
// Sets a field's kind as the kind chooser offers it; refuses a kind the field may not take (the
// note field takes text kinds only).
bool setDesignKind(Field& field, std::uint16_t kind, const StringTable& strings);

// --- Saving --------------------------------------------------------------------------------------
// Writes the card into the wallet through the record store's whole-file replacement (a new card is
// appended). Returns the card's index position, or -1 when nothing was written (the wallet file is
// as it was).
std::int64_t saveEditedCard(WalletFile& wallet, Card& card);

}  // namespace tw::app
