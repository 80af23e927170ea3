#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "model/Attachment.h"
#include "model/CardDisplay.h"
#include "model/Field.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "storage/KeyRecord.h"
#include "storage/RecordHeader.h"

namespace tw {

class StringTable;

// Result of writing a card. Any other value is the FileResult of the record header's write.
enum class CardWriteResult : int {
    Ok = 0,
    Failed = 1,    // a write failed or was short, or the body could not be built
    NoHeader = 6,  // the card has no record header
};

// A card loaded from, or to be written to, a wallet: display settings, its record header (name,
// icon, identifiers, form; owned by the card), ordered fields, a picture, a sound and ten file
// attachment slots. Whoever loads a card owns it; copies are deep.
//
// Card body (the record's body after its header and icon data):
//   0  CardDisplay, 64 bytes in clear
//   64 sub-records to the end of the body, each a head {u32 0, u32 type, u32 length} and
//      `length` bytes of payload: 1 field, 3 picture, 4 sound, 6 file attachment.
// The writer emits every field in order, then the picture and the sound when they hold data,
// then the used file slots in slot order. A card without content has a 64-byte body.
class Card {
public:
    static constexpr std::size_t kMaxFields = 255;
    static constexpr std::size_t kFileSlots = 10;
    static constexpr std::size_t kSubRecordHead = 12;

    // An empty card: no header, no fields, empty attachments, zero display words.
    Card();

    CardDisplay& display() { return m_display; }
    const CardDisplay& display() const { return m_display; }

    bool hasHeader() const { return m_header.has_value(); }
    // Null when the card has no header.
    RecordHeader* header() { return m_header ? &*m_header : nullptr; }
    const RecordHeader* header() const { return m_header ? &*m_header : nullptr; }
    void setHeader(RecordHeader header) { m_header = std::move(header); }

    Attachment& picture() {
        m_attachmentsUsed = true;
        return m_picture;
    }
    const Attachment& picture() const { return m_picture; }
    Attachment& sound() {
        m_attachmentsUsed = true;
        return m_sound;
    }
    const Attachment& sound() const { return m_sound; }
    // REQUIRES: slot < kFileSlots. A slot is in use when it holds data.
    Attachment& file(std::size_t slot) {
        m_attachmentsUsed = true;
        return m_files[slot];
    }
    const Attachment& file(std::size_t slot) const { return m_files[slot]; }
    std::size_t countFileAttachments() const;
    // The first slot without data, or -1 when all ten are in use.
    int firstFreeSlot() const;

    // The field table. References and pointers to fields stay valid until the table changes.
    std::size_t fieldCount() const { return m_fields.size(); }
    // REQUIRES: index < fieldCount().
    Field& field(std::size_t index) { return m_fields[index]; }
    const Field& field(std::size_t index) const { return m_fields[index]; }
    // Inserts at `position` (the later fields move up) or appends for -1 or fieldCount().
    // Fails with 255 fields or a position out of range. Sets modified.
    bool addField(Field field, int position = -1);
    // Appends a new field given `kind` (Field::setKind, which takes the yes/no words from
    // `strings`). Null with 255 fields. Sets modified.
    Field* newField(std::uint16_t kind, const StringTable& strings);
    // Inserts a deep copy of field `index`, marked new, right after it. Fails when the index is
    // out of range or the table is full. Sets modified.
    bool duplicateField(std::size_t index);
    // Moves field `index` to the end; the later fields move down one. Sets modified.
    bool moveFieldToEnd(std::size_t index);
    // Moves the field to the end and releases it. Sets modified.
    bool removeField(std::size_t index);

    bool loaded() const { return m_loaded; }
    bool modified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    // True when the card was modified, the picture, the sound or the record header changed, or
    // a field carries change marks (which also sets modified). File attachments do not count.
    bool isChanged();
    // Items the last body read left out: a field beyond 255, a file beyond the tenth, items whose
    // inner sizes did not fit their sub-record, and (as one) whatever followed a sub-record that
    // ran past the body.
    std::size_t droppedItems() const { return m_dropped; }
    // True when the last body read met a sub-record running past the body's end.
    bool bodyCutShort() const { return m_cutShort; }

    // Frees and wipes every field, the header and the attachments; the card is empty and not
    // loaded afterwards (the display words stay).
    void release();

    // Reads a body of `bodySize` bytes at the file's position (just after the record header and
    // its icon data). Fails, leaving the card as it was and not loaded, when bodySize < 64, the
    // file holds fewer bytes than announced, a read is short, or parseBody refuses the body. Nothing is allocated
    // before the file is known to hold the body.
    bool readBody(File* file, std::uint32_t bodySize, const KeyRecord& key);
    // Takes a whole body from memory. Fails (card unchanged) on a body under 64 bytes or an
    // inactive key. A damaged body gives what can be read of it: a field beyond 255, a file
    // beyond the tenth and an item whose inner sizes do not fit its sub-record are dropped, and a
    // sub-record that runs past the body ends the walk, keeping every item before it (all counted
    // in droppedItems); unknown sub-record types and a tail shorter than a head are skipped. On
    // success replaces the display, fields and attachments (the header stays), marks the card
    // loaded and clears modified.
    //
    // With Parts::Fields the picture, sound and file sub-records are passed over unread (neither
    // kept nor counted) and the card holds empty attachments.
    enum class Parts { All, Fields };
    bool parseBody(std::span<const std::uint8_t> body, const KeyRecord& key, Parts parts = Parts::All);
    // The whole body, texts and data enciphered under `key`. False when the key is inactive or
    // the body would exceed the format's 32-bit length.
    bool serializeBody(const KeyRecord& key, std::vector<std::uint8_t>* body) const;

private:
    CardDisplay m_display;
    std::optional<RecordHeader> m_header;
    Attachment m_picture{AttachmentKind::Picture};
    Attachment m_sound{AttachmentKind::Sound};
    std::vector<Attachment> m_files;
    std::vector<Field> m_fields;
    // False while the attachments are known to be as a new card has them (release need not
    // reset them): set by every way of changing them.
    bool m_attachmentsUsed = false;
    std::size_t m_dropped = 0;
    bool m_cutShort = false;
    bool m_loaded = false;
    bool m_modified = false;
};

// Writes the card as one record at the file's position: sets the header's body length, writes
// the header with its icon data (writeRecord, `now` for a first write), then the body under
// `key`. NoHeader when the card has none; Failed when the body cannot be built or its write
// fails or is short; otherwise the header write's own result when it fails.
CardWriteResult writeCard(File* file, Card& card, const KeyRecord& key, const SystemTime& now);

}  // namespace tw
