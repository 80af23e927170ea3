#include "model/FieldKind.h"

#include <array>

namespace tw {

namespace {

using namespace field_kind;

// The text kinds come first so that the note field's choice is a prefix of the full list.
constexpr std::array<KindChoice, 14> kEditorKinds = {{
    {kText, 24500},
    {kFirstCapital, 24501},
    {kWordCapitals, 24502},
    {kLink, 24515},
    {kWebAddress, 24504},
    {kEmail, 24505},
    {kTelephone, 24506},
    {kPassword, 24507},
    {kDate, 24508},
    {kTime, 24509},
    {kDateTime, 24510},
    {kYesNoList, 24511},
    {kSelectionList, 24512},
    {kCheckBox, 24513},
}};
constexpr std::size_t kNoteKindCount = 8;

}  // namespace

std::span<const KindChoice> editorKinds() {
    return kEditorKinds;
}

std::span<const KindChoice> offeredKinds(bool noteField) {
    const std::span<const KindChoice> all = kEditorKinds;
    return noteField ? all.first(kNoteKindCount) : all;
}

std::uint32_t kindLabelId(std::uint16_t kind) {
    for (const KindChoice& choice : kEditorKinds) {
        if (choice.kind == kind) return choice.labelId;
    }
    return 0;
}

bool isTextKind(std::uint16_t kind) {
    return (kind >= kText && kind <= kPassword) || kind == kNumber || kind == kFirstCapital || kind == kWordCapitals;
}

bool isDateKind(std::uint16_t kind) {
    return kind == kDate || kind == kTime || kind == kDateTime;
}

bool hasEditor(std::uint16_t kind) {
    return kind >= kText && kind <= kWordCapitals;
}

}  // namespace tw
