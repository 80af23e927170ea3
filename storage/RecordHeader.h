#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "platform/File.h"
#include "storage/KeyRecord.h"
#include "storage/RecordId.h"

namespace tw {

enum class RecordType : std::uint32_t { None = 0, Card = 1, Folder = 2, FormsFolder = 3 };

// The 16-byte type identifiers that tell the record types apart on disk.
using TypeIdentifier = std::array<std::uint8_t, 16>;
extern const TypeIdentifier kCardTypeId;
extern const TypeIdentifier kFolderTypeId;
extern const TypeIdentifier kFormsFolderTypeId;
// RecordType::None when the bytes are no known identifier.
RecordType recordTypeOf(const std::uint8_t* identifier);

// ChangeFlags bits; each is set by the change named and never cleared.
namespace change {
constexpr std::uint32_t kCreated = 0x01;
constexpr std::uint32_t kMoved = 0x02;
constexpr std::uint32_t kRenamed = 0x04;
constexpr std::uint32_t kDeleted = 0x08;
constexpr std::uint32_t kIcon = 0x10;
constexpr std::uint32_t kContent = 0x20;  // a card's body changed
constexpr std::uint32_t kForm = 0x40;
}  // namespace change

// The 16-byte reference to the form a card was made from: a built-in form is {u32 index, 12
// zero bytes}; a custom form is the RecordId of its card in the forms folder.
struct FormRef {
    std::array<std::uint8_t, 16> bytes{};
    friend bool operator==(const FormRef&, const FormRef&) = default;
};

// The header of every record. Layout (748 bytes):
//   0 type identifier (16)      16 own RecordId (16)       32 parent RecordId (16)
//  48 u32 ChangeFlags           52 SYSTEMTIME created      68 SYSTEMTIME last change
//  84 SYSTEMTIME deleted       100 name, 512 bytes of UTF-16LE, enciphered whole under the record key
// 612 u32 deleted mark         616 reserved (8)           624 i32 -1 for records made by this program
// 628 FormRef (16)             644 reserved (64)          708 i32 icon index (-1: custom icon follows)
// 712 u32 icon data length     716 u32 icon padding       720 MD5 of the icon data without padding
// 736 u32 (0 unless custom)    740 u32 body length        744 u32 written as 0
class RecordHeader {
public:
    static constexpr std::size_t kSize = 748;
    static constexpr std::size_t kTypeId = 0;
    static constexpr std::size_t kId = 16;
    static constexpr std::size_t kParent = 32;
    static constexpr std::size_t kChangeFlags = 48;
    static constexpr std::size_t kCreated = 52;
    static constexpr std::size_t kChanged = 68;
    static constexpr std::size_t kDeletedAt = 84;
    static constexpr std::size_t kName = 100;
    static constexpr std::size_t kNameSize = 512;
    static constexpr std::size_t kMaxName = 255;
    static constexpr std::size_t kDeletedMark = 612;
    static constexpr std::size_t kOwnMark = 624;
    static constexpr std::size_t kFormRef = 628;
    static constexpr std::size_t kIconIndex = 708;
    static constexpr std::size_t kIconLength = 712;
    static constexpr std::size_t kIconPadding = 716;
    static constexpr std::size_t kIconMd5 = 720;
    static constexpr std::size_t kIconWord = 736;
    static constexpr std::size_t kBodyLength = 740;
    static constexpr std::size_t kTail = 744;
    static constexpr std::int32_t kCustomIcon = -1;
    static constexpr std::int32_t kIconCount = 144;

    std::array<std::uint8_t, kSize> raw{};
    // Custom icon data as stored: the icon file's bytes and 1 to 4 zero bytes of padding.
    std::vector<std::uint8_t> iconData;
    bool loaded = false;   // read from a file or created; a header that is not loaded is never written
    bool changed = false;  // changed in memory since it was read or written

    RecordType type() const { return recordTypeOf(raw.data()); }
    void setType(RecordType type);

    RecordId id() const;
    void setId(const RecordId& id);
    RecordId parent() const;
    // Sets the parent without marking a change (Move marks it).
    void setParent(const RecordId& parent);

    std::uint32_t changeFlags() const;
    // Sets a ChangeFlags bit and the last-change time.
    void markChange(std::uint32_t bit, const SystemTime& now);
    // Sets the bits of what this header changes against `old`, the same record as stored: its
    // parent (0x02), name (0x04), icon index or custom icon data (0x10) and form reference (0x40).
    void markChangesFrom(const RecordHeader& old, const SystemTime& now);
    SystemTime created() const;
    void setCreated(const SystemTime& t);
    SystemTime lastChange() const;
    SystemTime deletedAt() const;

    // The deciphered name (empty when the stored area is all zero), at most 255 code units.
    std::u16string name(const KeyRecord& recordKey) const;
    // Stores a name (cut to 255 code units) enciphered under `recordKey`, sets bit 0x04 and the
    // change time. The name it already has changes nothing and returns false.
    bool setName(std::u16string_view name, const KeyRecord& recordKey, const SystemTime& now);
    // Stores the name without counting it as a change (for new records and re-enciphering).
    void putName(std::u16string_view name, const KeyRecord& recordKey);
    bool hasName() const;

    bool deleted() const;
    void setDeletedMark(bool deleted);
    void markDeleted(const SystemTime& now);

    FormRef formRef() const;
    void setFormRef(const FormRef& ref);

    std::int32_t iconIndex() const;
    void setIconIndex(std::int32_t index);
    // Takes a custom icon (the icon file's bytes): index -1, padded data, MD5 of the unpadded bytes.
    void setCustomIcon(const std::vector<std::uint8_t>& iconFile);
    // The icon file's bytes without padding.
    std::vector<std::uint8_t> customIcon() const;
    std::uint32_t iconLength() const;

    std::uint32_t bodyLength() const;
    void setBodyLength(std::uint32_t length);
    std::uint32_t word(std::size_t offset) const;
    void setWord(std::size_t offset, std::uint32_t value);
    // Bytes this record takes in the file: header, icon data and body.
    std::uint64_t storedSize() const { return kSize + iconLength() + bodyLength(); }

    // A new header of the given type, with a new identifier and creation and change times now,
    // change bit 0x01 and the word at 624 set to -1.
    static RecordHeader create(RecordType type, const RecordId& id, const RecordId& parent, const SystemTime& now);
};

// True when 748 bytes are a well-formed record start: a known type identifier and a non-zero
// own RecordId.
// True when the first `n` bytes at `p` (fewer than a header) can be the start of a record: they
// begin one of the record type identifiers.
bool couldStartRecord(const std::uint8_t* p, std::size_t n);
bool isRecordStart(const std::uint8_t* window);

// Reads a header and its icon data at the current position and leaves the file at the body.
// BadMagic for an unknown type identifier. Icon data larger than what remains of the file is
// not read (Short). `*consumed` receives the bytes read (header plus icon data).
FileResult readRecord(File* file, RecordHeader& header, std::uint64_t* consumed);

// Writes a header and its icon data at the current position. Refuses (BadMagic) a header that
// was not loaded or created. Normalises the icon fields and forces change flags 0 to 1 with the
// change time `now`. The body is written by the caller.
FileResult writeRecord(File* file, RecordHeader& header, const SystemTime& now);

}  // namespace tw

namespace tw {
// The bytes writeRecord would write for this header (header and icon data), normalised the same way.
std::vector<std::uint8_t> recordBytes(RecordHeader& header, const SystemTime& now);
}  // namespace tw
