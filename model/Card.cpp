#include "model/Card.h"

#include <algorithm>

#include "platform/StringTable.h"

namespace tw {

Card::Card() : m_files(kFileSlots, Attachment(AttachmentKind::File)) {}

std::size_t Card::countFileAttachments() const {
    return static_cast<std::size_t>(
        std::count_if(m_files.begin(), m_files.end(), [](const Attachment& a) { return a.hasData(); }));
}

int Card::firstFreeSlot() const {
    for (std::size_t slot = 0; slot < kFileSlots; ++slot)
        if (!m_files[slot].hasData()) return static_cast<int>(slot);
    return -1;
}

bool Card::addField(Field field, int position) {
    if (m_fields.size() >= kMaxFields) return false;
    if (position == -1) position = static_cast<int>(m_fields.size());
    if (position < 0 || static_cast<std::size_t>(position) > m_fields.size()) return false;
    m_fields.insert(m_fields.begin() + position, std::move(field));
    m_modified = true;
    return true;
}

Field* Card::newField(std::uint16_t kind, const StringTable& strings) {
    Field field;
    field.setKind(kind, strings);
    if (!addField(std::move(field))) return nullptr;
    return &m_fields.back();
}

bool Card::duplicateField(std::size_t index) {
    if (index >= m_fields.size()) return false;
    Field copy = m_fields[index];
    copy.addMarks(Field::kMarkNew);
    return addField(std::move(copy), static_cast<int>(index + 1));
}

bool Card::moveFieldToEnd(std::size_t index) {
    if (index >= m_fields.size()) return false;
    std::rotate(m_fields.begin() + static_cast<std::ptrdiff_t>(index),
                m_fields.begin() + static_cast<std::ptrdiff_t>(index) + 1, m_fields.end());
    m_modified = true;
    return true;
}

bool Card::removeField(std::size_t index) {
    if (!moveFieldToEnd(index)) return false;
    m_fields.back().release();
    m_fields.pop_back();
    return true;
}

bool Card::isChanged() {
    for (const Field& field : m_fields)
        if (field.marks() != 0) m_modified = true;
    return m_modified || m_picture.changed() || m_sound.changed() || (m_header && m_header->changed);
}

void Card::release() {
    m_fields.clear();  // each field wipes its texts
    m_header.reset();
    // clear() wipes the data before the fresh attachments take their place.
    if (m_attachmentsUsed) {
        m_picture.clear();
        m_picture = Attachment(AttachmentKind::Picture);
        m_sound.clear();
        m_sound = Attachment(AttachmentKind::Sound);
        for (Attachment& file : m_files) {
            file.clear();
            file = Attachment(AttachmentKind::File);
        }
        m_attachmentsUsed = false;
    }
    m_dropped = 0;
    m_cutShort = false;
    m_loaded = false;
    m_modified = false;
}

}  // namespace tw
