#pragma once

#include <cstdint>
#include <span>

namespace tw {

// Field kind numbers as stored in a card's field descriptor. Any other number may be met in a
// wallet; such a field is kept as it is and gets no editor.
namespace field_kind {
constexpr std::uint16_t kText = 1;
constexpr std::uint16_t kPlainText = 2;  // not offered by the editor; edited as text
constexpr std::uint16_t kWebAddress = 3;
constexpr std::uint16_t kLink = 4;  // telephone, web or e-mail, decided by ClassifyLink when shown
constexpr std::uint16_t kEmail = 5;
constexpr std::uint16_t kTelephone = 6;
constexpr std::uint16_t kPassword = 7;
constexpr std::uint16_t kDate = 8;
constexpr std::uint16_t kTime = 9;
constexpr std::uint16_t kDateTime = 10;
constexpr std::uint16_t kYesNoList = 11;
constexpr std::uint16_t kSelectionList = 12;
constexpr std::uint16_t kCheckBox = 13;
constexpr std::uint16_t kNumber = 14;  // not offered by the editor; numeric input on Smartphone
constexpr std::uint16_t kFirstCapital = 15;
constexpr std::uint16_t kWordCapitals = 16;
}  // namespace field_kind

// One entry of the form designer's kind chooser: the kind and the string id of its label.
struct KindChoice {
    std::uint16_t kind;
    std::uint32_t labelId;
};

// The fourteen kinds the form designer offers, in the order it lists them.
std::span<const KindChoice> editorKinds();

// The kinds offered for a field: all of editorKinds(), or for the card's note field only the
// text kinds among them (the first eight, order kept).
std::span<const KindChoice> offeredKinds(bool noteField);

// Label string id of an offered kind; 0 for kinds the chooser does not offer (2, 14, unknown).
std::uint32_t kindLabelId(std::uint16_t kind);

// Kinds whose value is a text typed in an edit box: 1-7, 14, 15, 16.
bool isTextKind(std::uint16_t kind);

// Kinds whose value is the field's date and time instead of a text: 8, 9, 10.
bool isDateKind(std::uint16_t kind);

// Kinds that have an editor control at all: 1-16.
bool hasEditor(std::uint16_t kind);

}  // namespace tw
