#include "storage/KeyBlock.h"

#include <cstring>
#include <iterator>

#include "platform/Text.h"
#include "storage/Bytes.h"

namespace tw {
namespace {

constexpr std::uint8_t kStart[16] = {0x12, 0xa2, 0x42, 0x5d, 0x1b, 0x03, 0xd9, 0x44,
                                     0xa2, 0xca, 0xdc, 0x16, 0xca, 0xe4, 0xf9, 0x27};
constexpr std::uint8_t kEnd[16] = {0x41, 0xfb, 0x38, 0x90, 0x92, 0xb5, 0xfc, 0x47,
                                   0x82, 0x5d, 0xaf, 0x74, 0x93, 0xac, 0x18, 0xaf};
static_assert(KeyBlock::kEndMagic + 16 == KeyBlock::kSize);

// Deciphers a fixed text area under `key`, or gives nothing when the area is all zero. An area
// filled to its end without a terminator gives no more than a writer may store in it.
bool readEnciphered(const KeyRecord& key, const std::uint8_t* area, std::size_t size, std::u16string& out) {
    if (allZero(area, size) || !key.active()) return false;
    std::uint8_t plain[KeyBlock::kHintSize];
    key.encipher(area, size, plain);
    out = getText16(plain, size);
    if (out.size() > size / 2 - 1) out.resize(size / 2 - 1);
    wipe(plain, sizeof plain);
    return true;
}

bool writeEnciphered(const KeyRecord& key, std::uint8_t* area, std::size_t size,
                     std::optional<std::u16string_view> text) {
    if (!text) {
        std::memset(area, 0, size);
        return true;
    }
    if (!key.active()) return false;
    std::uint8_t plain[KeyBlock::kHintSize];
    putText16(plain, size, *text);
    key.encipher(plain, size, area);
    wipe(plain, sizeof plain);
    return true;
}

}  // namespace

void KeyBlock::create(const SystemTime& now, std::optional<std::u16string_view> password,
                      std::optional<std::u16string_view> hint, const std::array<std::u16string, 3>& specialNames) {
    clear();
    std::memcpy(raw.data() + kStartMagic, kStart, 16);
    std::memcpy(raw.data() + kEndMagic, kEnd, 16);
    putSystemTime(raw.data(), kChangedAt, now);
    putSystemTime(raw.data(), kCreatedAt, now);
    const Key16 fk = makeFileKey(now);
    fileKey.set(fk.data());
    setPassword(password, now);
    putU32(raw.data(), kCreatedWord, 1);
    static constexpr std::uint32_t kIcons[3] = {88, 128, 78};
    for (int entry = 1; entry <= kSpecialCount; ++entry)
        setSpecial(entry, specialNames[entry - 1], kIcons[entry - 1], now);
    setHint(hint, now);
    changed = true;
}

FileResult KeyBlock::read(File* file) {
    const FileResult r = readBlock(file, raw.data(), kSize);
    if (r != FileResult::Done) return r;
    if (std::memcmp(raw.data() + kStartMagic, kStart, 16) != 0 || std::memcmp(raw.data() + kEndMagic, kEnd, 16) != 0)
        return FileResult::BadMagic;
    const Key16 fk = makeFileKey(createdAt());
    fileKey.set(fk.data());
    fileKey.encipher(raw.data() + kFiller56, 16, oldRecordKey.data());
    changed = false;
    return r;
}

void KeyBlock::restoreMagics() {
    std::memcpy(raw.data() + kStartMagic, kStart, 16);
    std::memcpy(raw.data() + kEndMagic, kEnd, 16);
    const Key16 fk = makeFileKey(createdAt());
    fileKey.set(fk.data());
    fileKey.encipher(raw.data() + kFiller56, 16, oldRecordKey.data());
    changed = true;
}

FileResult KeyBlock::write(File* file, Random& random) {
    // The fillers' numbers are drawn with one request, in the order they are placed.
    std::uint32_t words[27];
    random.fill(words, std::size(words));
    for (std::size_t i = 0; i < 16; ++i) raw[kFiller56 + i] = static_cast<std::uint8_t>(words[i] & 0xFF);
    putU32(raw.data(), kFiller72, words[16]);
    putU32(raw.data(), kFiller108, words[17]);
    putU32(raw.data(), kFiller124, words[18]);
    for (std::size_t i = 0; i < 8; ++i) putU32(raw.data(), kFiller400 + 4 * i, words[19 + i]);
    wipe(words, sizeof words);
    const FileResult r = writeBlock(file, raw.data(), kSize);
    if (r == FileResult::Done) changed = false;
    return r;
}

SystemTime KeyBlock::createdAt() const {
    return getSystemTime(raw.data(), kCreatedAt);
}
std::uint32_t KeyBlock::changeBits() const {
    return getU32(raw.data(), kChangeBits);
}
bool KeyBlock::hasCheckValue() const {
    return !allZero(raw.data() + kCheckValue, 16);
}

Key16 KeyBlock::checkValue() const {
    Key16 v;
    std::memcpy(v.data(), raw.data() + kCheckValue, 16);
    return v;
}

bool KeyBlock::verifyPassword(std::u16string_view password) {
    verified = false;
    if (!fileKey.active() || !passwordTakesPart(password)) return false;
    Key16 key = makeRecordKey(password, fileKey);
    const Key16 check = makeCheckValue(key);
    const Key16 stored = checkValue();
    bool ok = false;
    if (stored == check) {
        ok = true;
    } else if (stored == key) {
        // An old-format file kept the record key itself as its check value.
        std::memcpy(raw.data() + kCheckValue, check.data(), 16);
        changed = true;
        ok = true;
    }
    wipe(key.data(), key.size());
    verified = ok;
    return ok;
}

void KeyBlock::setPassword(std::optional<std::u16string_view> password, const SystemTime& now) {
    Key16 key = makeRecordKey(password, fileKey);
    if (passwordTakesPart(password)) {
        const Key16 check = makeCheckValue(key);
        std::memcpy(raw.data() + kCheckValue, check.data(), 16);
    } else {
        std::memset(raw.data() + kCheckValue, 0, 16);
    }
    recordKey.set(key.data());
    wipe(key.data(), key.size());
    markChanged(kPasswordChanged, now);
}

void KeyBlock::loadRecordKey(std::optional<std::u16string_view> password) {
    Key16 key = makeRecordKey(password, fileKey);
    recordKey.set(key.data());
    wipe(key.data(), key.size());
}

bool KeyBlock::readHint(std::u16string& hint) const {
    return readEnciphered(fileKey, raw.data() + kHint, kHintSize, hint);
}

bool KeyBlock::setHint(std::optional<std::u16string_view> hint, const SystemTime& now) {
    if (hint) hint = cutText(*hint, kMaxHint);
    if (!writeEnciphered(fileKey, raw.data() + kHint, kHintSize, hint)) return false;
    markChanged(kHintSet, now);
    return true;
}

std::size_t KeyBlock::specialIconOffset(int entry) {
    // The icons lie in the order 1, 3, 2.
    static constexpr std::size_t kOffsets[3] = {kSpecialIcon1, kSpecialIcon1 + 8, kSpecialIcon1 + 4};
    return kOffsets[entry - 1];
}

bool KeyBlock::readSpecial(int entry, std::u16string& name, std::uint32_t& icon) const {
    if (entry < 1 || entry > kSpecialCount) return false;
    if (!readEnciphered(fileKey, raw.data() + kSpecialName1 + (entry - 1) * kSpecialNameSize, kSpecialNameSize, name))
        return false;
    icon = getU32(raw.data(), specialIconOffset(entry));
    return true;
}

std::uint32_t KeyBlock::specialIcon(int entry) const {
    if (entry < 1 || entry > kSpecialCount) return 0;
    return getU32(raw.data(), specialIconOffset(entry));
}

bool KeyBlock::setSpecial(int entry, std::optional<std::u16string_view> name, std::uint32_t icon,
                          const SystemTime& now) {
    if (entry < 1 || entry > kSpecialCount) return false;
    if (name) name = cutText(*name, kMaxSpecialName);
    std::uint8_t* area = raw.data() + kSpecialName1 + (entry - 1) * kSpecialNameSize;
    if (!writeEnciphered(fileKey, area, kSpecialNameSize, name)) return false;
    if (icon != kKeepIcon) putU32(raw.data(), specialIconOffset(entry), icon);
    markChanged(kSpecialSet, now);
    return true;
}

void KeyBlock::markChanged(std::uint32_t bit, const SystemTime& now) {
    putU32(raw.data(), kChangeBits, changeBits() | bit);
    putSystemTime(raw.data(), kChangedAt, now);
    changed = true;
}

void KeyBlock::clear() {
    wipe(raw.data(), raw.size());
    fileKey.clear();
    recordKey.clear();
    wipe(oldRecordKey.data(), oldRecordKey.size());
    changed = false;
    verified = false;
}

}  // namespace tw
