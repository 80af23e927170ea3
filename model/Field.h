#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "storage/KeyRecord.h"

namespace tw {

class StringTable;

// One field of a card: a kind, a name, and a value that is a text, a date and time (kinds 8 to
// 10) or a choice from a list (kinds 11 and 12). The kind numbers and their meaning belong to
// the forms; this class knows only the kinds that change how a field is stored.
//
// Texts are held as UTF-16; an empty text means "absent" and takes no room in the card body.
// Names, values and list items are wiped when the field lets go of them.
class Field {
public:
    // Field descriptor (72 bytes), then name, value and list, each a padded enciphered text:
    //   0 u16 kind            2 u16 style flags       4 u32 reserved (0)
    //   8 i32 name colour    12 i32 value colour     16 u32 name stored size   20 u32 name padding
    //  24 SYSTEMTIME date    40 u32 value stored size 44 u32 value padding
    //  48 u32 list stored size  52 u32 list padding   56 u32 payload size after the descriptor
    //  60 reserved (12, zero)
    static constexpr std::size_t kDescriptorSize = 72;
    static constexpr std::size_t kKind = 0;
    static constexpr std::size_t kStyle = 2;
    static constexpr std::size_t kNameColour = 8;
    static constexpr std::size_t kValueColour = 12;
    static constexpr std::size_t kNameStored = 16;
    static constexpr std::size_t kNamePadding = 20;
    static constexpr std::size_t kDate = 24;
    static constexpr std::size_t kValueStored = 40;
    static constexpr std::size_t kValuePadding = 44;
    static constexpr std::size_t kListStored = 48;
    static constexpr std::size_t kListPadding = 52;
    static constexpr std::size_t kPayloadAfter = 56;
    static_assert(kPayloadAfter + 4 + 12 == kDescriptorSize);

    static constexpr std::uint16_t kTextKind = 1;
    static constexpr std::uint16_t kYesNoKind = 11;
    static constexpr std::uint16_t kListKind = 12;
    static constexpr std::size_t kMaxListItems = 128;
    static constexpr std::uint16_t kNoteStyle = 8;      // style bit of the card's note field
    static constexpr std::int32_t kCardColour = -1;     // colour value: use the card's colour
    static constexpr std::uint32_t kYesWordId = 20204;  // the yes/no list's words, by string id
    static constexpr std::uint32_t kNoWordId = 20205;
    static constexpr char16_t kListSeparator = u'^';

    // Change marks. Any mark counts as a change of the card; reading a field clears them.
    static constexpr std::uint32_t kMarkNew = 0x01;
    static constexpr std::uint32_t kMarkKind = 0x02;
    static constexpr std::uint32_t kMarkName = 0x10;
    static constexpr std::uint32_t kMarkValueSet = 0x20;  // value or date cleared or set
    static constexpr std::uint32_t kMarkValue = 0x40;
    static constexpr std::uint32_t kMarkListItem = 0x200;

    static bool isDateKind(std::uint16_t kind) { return kind >= 8 && kind <= 10; }
    static bool isListKind(std::uint16_t kind) { return kind == kYesNoKind || kind == kListKind; }

    // A new field: kind 1, no texts, card colours, no date, marked new.
    Field() = default;
    Field(const Field&) = default;
    Field(Field&&) noexcept = default;
    Field& operator=(const Field&) = default;
    Field& operator=(Field&&) noexcept = default;
    ~Field() { release(); }

    std::uint16_t kind() const { return m_kind; }
    // Changes the kind. The same kind changes nothing. Otherwise marks the kind change; into a
    // date kind (8-10) from another kind, also clears the date and the value (mark 0x20); into
    // kind 11, also replaces the list by the words of string ids 20204 and 20205 from `strings`.
    void setKind(std::uint16_t kind, const StringTable& strings);

    std::uint16_t style() const { return m_style; }
    void setStyle(std::uint16_t style) { m_style = style; }
    bool isNote() const { return (m_style & kNoteStyle) != 0; }
    std::int32_t nameColour() const { return m_nameColour; }
    std::int32_t valueColour() const { return m_valueColour; }
    void setNameColour(std::int32_t colour) { m_nameColour = colour; }
    void setValueColour(std::int32_t colour) { m_valueColour = colour; }

    // Texts are cut at their first zero character, which the card body cannot carry. Setting the
    // text a field already has changes nothing.
    const std::u16string& name() const { return m_name; }
    void setName(std::u16string_view name);  // mark 0x10
    const std::u16string& value() const { return m_value; }
    // A non-empty text marks 0x40; an empty one removes the value, clears the date, marks 0x20.
    void setValue(std::u16string_view value);

    // All zero means no date is set.
    const SystemTime& date() const { return m_date; }
    // Only for the date kinds 8-10 (else false, nothing changed): sets or (with a zero time)
    // clears the date, removes the value text, marks 0x20.
    bool setDate(const SystemTime& date);

    // Items are kept for every kind but stored in the card body for kinds 11 and 12 only.
    // Refuses an empty text and a 129th item; each "^" becomes a space; marks 0x200.
    bool addListItem(std::u16string_view item);
    // Clears the list, then offers each "^"-separated piece to addListItem (empty pieces drop).
    void setListFromJoined(std::u16string_view joined);
    void clearList();
    const std::vector<std::u16string>& listItems() const { return m_list; }
    // The item at `index` when the field is of a list kind and the index is in range; else null.
    const std::u16string* listItem(std::size_t index) const;

    std::uint32_t marks() const { return m_marks; }
    void addMarks(std::uint32_t marks) { m_marks |= marks; }
    void clearMarks() { m_marks = 0; }

    // The field's sub-record payload: descriptor, then name, value and (kinds 11 and 12) the
    // list joined by "^", each enciphered by itself under `key` and zero-padded.
    std::size_t payloadSize() const;
    // Appends the payload to `out`. False (nothing appended) when the key is inactive or the
    // payload would not fit the format's 32-bit sizes. The descriptor's reserved bytes are the
    // ones read (zero for a new field), so that what another program keeps there survives.
    bool writePayload(const KeyRecord& key, std::vector<std::uint8_t>& out) const;
    // Replaces this field by the one in `payload`, descriptor bytes included. Refuses (field
    // unchanged) a payload shorter than the descriptor, a text whose stored size runs past the
    // payload or whose padding exceeds its stored size, and an inactive key. The change marks are
    // cleared.
    bool readPayload(const std::uint8_t* payload, std::size_t size, const KeyRecord& key);

    // Wipes and drops every text; the descriptor values stay.
    void release();

private:
    std::u16string joinedList() const;

    std::array<std::uint8_t, kDescriptorSize> m_descriptor{};  // as read; its reserved bytes are written back
    std::uint16_t m_kind = kTextKind;
    std::uint16_t m_style = 0;
    std::int32_t m_nameColour = kCardColour;
    std::int32_t m_valueColour = kCardColour;
    SystemTime m_date{};
    std::u16string m_name;
    std::u16string m_value;
    std::vector<std::u16string> m_list;
    std::uint32_t m_marks = kMarkNew;
};

}  // namespace tw
