#include "model/CardNote.h"

#include "model/Card.h"
#include "platform/StringTable.h"

namespace tw {

bool setNote(Card& card, std::u16string_view text, const StringTable& strings) {
    for (std::size_t i = 0; i < card.fieldCount(); ++i)
        if (card.field(i).isNote()) {
            card.field(i).setValue(text);
            return true;
        }
    if (text.empty()) return true;
    Field note;
    note.setName(strings.text(kNoteNameId));
    note.setStyle(Field::kNoteStyle);
    note.setValue(text);
    return card.addField(std::move(note));
}

}  // namespace tw
