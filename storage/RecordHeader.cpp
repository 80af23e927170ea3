#include "storage/RecordHeader.h"

#include <algorithm>
#include <cstring>

#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/Md5.h"

namespace tw {

const TypeIdentifier kCardTypeId = {0xed, 0xbc, 0x16, 0x9c, 0x56, 0xc2, 0xb4, 0x40,
                                    0x8d, 0x46, 0xef, 0xa4, 0xfd, 0x93, 0xfc, 0x3f};
const TypeIdentifier kFolderTypeId = {0x7b, 0x59, 0x5d, 0x8b, 0xe8, 0x58, 0xb9, 0x48,
                                      0xa9, 0x09, 0x9a, 0x2e, 0xf5, 0x84, 0x5a, 0x60};
const TypeIdentifier kFormsFolderTypeId = {0xff, 0xff, 0x00, 0x00, 0x00, 0x00, 0x11, 0x11,
                                           0xff, 0xff, 0xff, 0xff, 0x00, 0x01, 0x02, 0x03};

RecordType recordTypeOf(const std::uint8_t* p) {
    if (std::memcmp(p, kCardTypeId.data(), 16) == 0) return RecordType::Card;
    if (std::memcmp(p, kFolderTypeId.data(), 16) == 0) return RecordType::Folder;
    if (std::memcmp(p, kFormsFolderTypeId.data(), 16) == 0) return RecordType::FormsFolder;
    return RecordType::None;
}

void RecordHeader::setType(RecordType type) {
    const TypeIdentifier* id = nullptr;
    switch (type) {
        case RecordType::Card:
            id = &kCardTypeId;
            break;
        case RecordType::Folder:
            id = &kFolderTypeId;
            break;
        case RecordType::FormsFolder:
            id = &kFormsFolderTypeId;
            break;
        case RecordType::None:
            std::memset(raw.data() + kTypeId, 0, 16);
            return;
    }
    std::memcpy(raw.data() + kTypeId, id->data(), 16);
}

RecordId RecordHeader::id() const {
    RecordId id;
    std::memcpy(id.bytes.data(), raw.data() + kId, 16);
    return id;
}
void RecordHeader::setId(const RecordId& id) {
    std::memcpy(raw.data() + kId, id.bytes.data(), 16);
}

RecordId RecordHeader::parent() const {
    RecordId id;
    std::memcpy(id.bytes.data(), raw.data() + kParent, 16);
    return id;
}
void RecordHeader::setParent(const RecordId& parent) {
    std::memcpy(raw.data() + kParent, parent.bytes.data(), 16);
}

std::uint32_t RecordHeader::changeFlags() const {
    return getU32(raw.data(), kChangeFlags);
}

void RecordHeader::markChange(std::uint32_t bit, const SystemTime& now) {
    putU32(raw.data(), kChangeFlags, changeFlags() | bit);
    putSystemTime(raw.data(), kChanged, now);
    changed = true;
}

void RecordHeader::markChangesFrom(const RecordHeader& old, const SystemTime& now) {
    auto differs = [&](std::size_t at, std::size_t size) {
        return std::memcmp(raw.data() + at, old.raw.data() + at, size) != 0;
    };
    if (differs(kParent, 16)) markChange(change::kMoved, now);
    if (differs(kName, kNameSize)) markChange(change::kRenamed, now);
    if (iconIndex() != old.iconIndex() || (iconIndex() == kCustomIcon && iconData != old.iconData))
        markChange(change::kIcon, now);
    if (formRef() != old.formRef()) markChange(change::kForm, now);
}

SystemTime RecordHeader::created() const {
    return getSystemTime(raw.data(), kCreated);
}
void RecordHeader::setCreated(const SystemTime& t) {
    putSystemTime(raw.data(), kCreated, t);
}
SystemTime RecordHeader::lastChange() const {
    return getSystemTime(raw.data(), kChanged);
}
SystemTime RecordHeader::deletedAt() const {
    return getSystemTime(raw.data(), kDeletedAt);
}

bool RecordHeader::hasName() const {
    return !allZero(raw.data() + kName, kNameSize);
}

std::u16string RecordHeader::name(const KeyRecord& recordKey) const {
    if (!hasName()) return {};
    std::u16string text;
    recordKey.decipherText16(raw.data() + kName, kNameSize, &text);
    // A name that fills the area without a terminator is cut to what a writer may store.
    const std::size_t kept = cutText(text, kMaxName).size();
    if (kept < text.size()) {
        wipe(text.data() + kept, (text.size() - kept) * sizeof(char16_t));
        text.resize(kept);
    }
    return text;
}

void RecordHeader::putName(std::u16string_view name, const KeyRecord& recordKey) {
    std::uint8_t* area = raw.data() + kName;
    if (name.empty()) {
        std::memset(area, 0, kNameSize);
        return;
    }
    std::uint8_t plain[kNameSize];
    putText16(plain, kNameSize, cutText(name, kMaxName));
    std::memcpy(area, plain, kNameSize);
    recordKey.encipher(plain, kNameSize, area);
    wipe(plain, sizeof plain);
}

bool RecordHeader::setName(std::u16string_view name, const KeyRecord& recordKey, const SystemTime& now) {
    const std::u16string_view cut = cutText(name, kMaxName);
    if (this->name(recordKey) == cut) return false;
    putName(cut, recordKey);
    markChange(change::kRenamed, now);
    return true;
}

bool RecordHeader::deleted() const {
    return getU32(raw.data(), kDeletedMark) != 0;
}
void RecordHeader::setDeletedMark(bool deleted) {
    putU32(raw.data(), kDeletedMark, deleted ? 1 : 0);
}

void RecordHeader::markDeleted(const SystemTime& now) {
    setDeletedMark(true);
    putSystemTime(raw.data(), kDeletedAt, now);
    markChange(change::kDeleted, now);
}

FormRef RecordHeader::formRef() const {
    FormRef ref;
    std::memcpy(ref.bytes.data(), raw.data() + kFormRef, 16);
    return ref;
}
void RecordHeader::setFormRef(const FormRef& ref) {
    std::memcpy(raw.data() + kFormRef, ref.bytes.data(), 16);
}

std::int32_t RecordHeader::iconIndex() const {
    return getI32(raw.data(), kIconIndex);
}

void RecordHeader::setIconIndex(std::int32_t index) {
    putI32(raw.data(), kIconIndex, index);
    if (index != kCustomIcon) iconData.clear();
}

void RecordHeader::setCustomIcon(const std::vector<std::uint8_t>& iconFile) {
    const std::size_t padding = 4 - iconFile.size() % 4;
    iconData = iconFile;
    iconData.resize(iconFile.size() + padding, 0);
    putI32(raw.data(), kIconIndex, kCustomIcon);
    putU32(raw.data(), kIconLength, static_cast<std::uint32_t>(iconData.size()));
    putU32(raw.data(), kIconPadding, static_cast<std::uint32_t>(padding));
    const Digest digest = md5(iconFile.data(), iconFile.size());
    std::memcpy(raw.data() + kIconMd5, digest.data(), digest.size());
}

std::vector<std::uint8_t> RecordHeader::customIcon() const {
    const std::uint32_t padding = word(kIconPadding);
    if (padding > iconData.size()) return {};
    return std::vector<std::uint8_t>(iconData.begin(), iconData.end() - padding);
}

std::uint32_t RecordHeader::iconLength() const {
    return getU32(raw.data(), kIconLength);
}
std::uint32_t RecordHeader::bodyLength() const {
    return getU32(raw.data(), kBodyLength);
}
void RecordHeader::setBodyLength(std::uint32_t length) {
    putU32(raw.data(), kBodyLength, length);
}
std::uint32_t RecordHeader::word(std::size_t offset) const {
    return getU32(raw.data(), offset);
}
void RecordHeader::setWord(std::size_t offset, std::uint32_t value) {
    putU32(raw.data(), offset, value);
}

RecordHeader RecordHeader::create(RecordType type, const RecordId& id, const RecordId& parent, const SystemTime& now) {
    RecordHeader h;
    h.setType(type);
    h.setId(id);
    h.setParent(parent);
    h.setCreated(now);
    h.markChange(change::kCreated, now);
    putI32(h.raw.data(), kOwnMark, -1);
    h.loaded = true;
    return h;
}

bool isRecordStart(const std::uint8_t* window) {
    return recordTypeOf(window) != RecordType::None && !allZero(window + RecordHeader::kId, 16);
}

bool couldStartRecord(const std::uint8_t* p, std::size_t n) {
    if (n == 0) return false;
    n = std::min<std::size_t>(n, 16);
    for (const TypeIdentifier* id : {&kCardTypeId, &kFolderTypeId, &kFormsFolderTypeId}) {
        if (std::memcmp(p, id->data(), n) == 0) return true;
    }
    return false;
}

FileResult readRecord(File* file, RecordHeader& header, std::uint64_t* consumed) {
    if (consumed != nullptr) *consumed = 0;
    header.iconData.clear();
    std::size_t got = 0;
    FileResult r = readBlock(file, header.raw.data(), RecordHeader::kSize, &got);
    if (consumed != nullptr) *consumed = got;
    if (r != FileResult::Done) return r;
    if (header.type() == RecordType::None) return FileResult::BadMagic;
    header.loaded = true;
    header.changed = false;
    const std::uint32_t iconLength = header.iconLength();
    if (iconLength == 0) return FileResult::Done;

    // Icon data longer than what is left of the file cannot be a real icon: no buffer of that
    // size is made for it.
    const std::uint64_t here = file->position();
    std::uint64_t size = 0;
    const bool fits = file->size(&size) && here <= size && iconLength <= size - here;
    auto clearIcon = [&] {
        header.iconData.clear();
        for (std::size_t at = RecordHeader::kIconLength; at < RecordHeader::kIconWord + 4; ++at) header.raw[at] = 0;
    };
    if (!fits) {
        clearIcon();
        return FileResult::Short;
    }
    header.iconData.assign(iconLength, 0);
    r = readBlock(file, header.iconData.data(), iconLength, &got);
    if (consumed != nullptr) *consumed += got;
    if (r != FileResult::Done) clearIcon();
    return r;
}

FileResult writeRecord(File* file, RecordHeader& header, const SystemTime& now) {
    if (!header.loaded) return FileResult::BadMagic;
    std::uint8_t* p = header.raw.data();
    if (header.iconIndex() == RecordHeader::kCustomIcon && header.iconData.empty()) {
        putI32(p, RecordHeader::kIconIndex, 0);
    }
    if (header.iconIndex() != RecordHeader::kCustomIcon) {
        std::memset(p + RecordHeader::kIconLength, 0, RecordHeader::kIconWord + 4 - RecordHeader::kIconLength);
        header.iconData.clear();
    } else {
        putU32(p, RecordHeader::kIconLength, static_cast<std::uint32_t>(header.iconData.size()));
    }
    if (header.changeFlags() == 0) {
        putU32(p, RecordHeader::kChangeFlags, change::kCreated);
        putSystemTime(p, RecordHeader::kChanged, now);
    }
    FileResult r = writeBlock(file, p, RecordHeader::kSize);
    if (r != FileResult::Done) return r;
    if (!header.iconData.empty()) r = writeBlock(file, header.iconData.data(), header.iconData.size());
    return r;
}

}  // namespace tw

#include "platform/MemoryFile.h"

namespace tw {
std::vector<std::uint8_t> recordBytes(RecordHeader& header, const SystemTime& now) {
    auto bytes = std::make_shared<std::vector<std::uint8_t>>();
    if (writeRecord(makeMemoryFile(bytes).get(), header, now) != FileResult::Done) return {};
    return std::move(*bytes);
}
}  // namespace tw
