#include "storage/SettingsBlock.h"

#include <cstring>

#include "model/CardDisplay.h"
#include "storage/Bytes.h"

namespace tw {
namespace {

constexpr std::uint8_t kStart[16] = {0xc8, 0xf7, 0x82, 0x4e, 0x69, 0x0d, 0x11, 0x44,
                                     0x99, 0x85, 0x9e, 0xdc, 0x14, 0x20, 0xe9, 0xab};
constexpr std::uint8_t kEnd[16] = {0xaa, 0x01, 0xb0, 0x68, 0x0f, 0x55, 0xce, 0x4e,
                                   0x9d, 0x3b, 0xea, 0x38, 0x14, 0xc6, 0xe6, 0xee};
static_assert(SettingsBlock::kEndMagic + 16 == SettingsBlock::kSize);
static_assert(SettingsBlock::kFavourites + 16 * SettingsBlock::kFavouriteSlots == 812);

}  // namespace

SettingsBlock SettingsBlock::create() {
    SettingsBlock s;
    std::memcpy(s.raw.data(), kStart, 16);
    std::memcpy(s.raw.data() + kEndMagic, kEnd, 16);
    CardDisplay::walletDefault().write(s.raw.data() + kDefaultDisplay);
    putU32(s.raw.data(), kWord100, 5);
    putU32(s.raw.data(), kWord104, 5);
    putU32(s.raw.data(), kCloseMinutes, 5);
    putU32(s.raw.data(), kFolderColour, 0xFF0000);
    s.changed = true;
    return s;
}

FileResult SettingsBlock::read(File* file) {
    const FileResult r = readBlock(file, raw.data(), kSize);
    if (r != FileResult::Done) return r;
    if (std::memcmp(raw.data(), kStart, 16) != 0 || std::memcmp(raw.data() + kEndMagic, kEnd, 16) != 0)
        return FileResult::BadMagic;
    changed = false;
    return r;
}

SettingsBlock SettingsBlock::rebuiltFrom(const SettingsBlock& damaged, bool* favouritesKept, bool* closeTimeKept) {
    SettingsBlock s = create();
    bool emptySeen = false;
    bool list = true;
    for (std::size_t slot = 0; slot < kFavouriteSlots; ++slot) {
        const bool empty = damaged.favourite(slot).isZero();
        if (!empty && emptySeen) list = false;
        emptySeen = emptySeen || empty;
    }
    if (list) {
        std::memcpy(s.raw.data() + kFavourites, damaged.raw.data() + kFavourites, kFavouriteSlots * 16);
    }
    const std::uint32_t minutes = damaged.closeMinutes();
    const bool closeTime = minutes <= 24 * 60;
    if (closeTime) putU32(s.raw.data(), kCloseMinutes, minutes);
    if (favouritesKept != nullptr) *favouritesKept = list;
    if (closeTimeKept != nullptr) *closeTimeKept = closeTime;
    s.changed = true;
    return s;
}

FileResult SettingsBlock::write(File* file) {
    const FileResult r = writeBlock(file, raw.data(), kSize);
    if (r == FileResult::Done) changed = false;
    return r;
}

CardDisplayWords SettingsBlock::defaultDisplay() const {
    CardDisplayWords words;
    for (std::size_t i = 0; i < 16; ++i) words[i] = getU32(raw.data(), kDefaultDisplay + 4 * i);
    return words;
}

std::uint32_t SettingsBlock::word(std::size_t offset) const {
    return getU32(raw.data(), offset);
}

void SettingsBlock::setCloseMinutes(std::uint32_t minutes, const SystemTime& now) {
    putU32(raw.data(), kCloseMinutes, minutes);
    markChanged(kCloseTimeChanged, now);
}

RecordId SettingsBlock::favourite(std::size_t slot) const {
    RecordId id;
    if (slot < kFavouriteSlots) std::memcpy(id.bytes.data(), raw.data() + kFavourites + 16 * slot, 16);
    return id;
}

void SettingsBlock::putFavourite(std::size_t slot, const RecordId& id) {
    std::memcpy(raw.data() + kFavourites + 16 * slot, id.bytes.data(), 16);
}

std::size_t SettingsBlock::favouriteCount() const {
    std::size_t n = 0;
    for (std::size_t slot = 0; slot < kFavouriteSlots; ++slot)
        if (!favourite(slot).isZero()) ++n;
    return n;
}

bool SettingsBlock::isFavourite(const RecordId& id) const {
    if (id.isZero()) return false;
    for (std::size_t slot = 0; slot < kFavouriteSlots; ++slot)
        if (favourite(slot) == id) return true;
    return false;
}

bool SettingsBlock::addFavourite(const RecordId& id, const SystemTime& now) {
    if (id.isZero() || isFavourite(id)) return false;
    std::size_t last = 0;  // one past the last filled slot
    for (std::size_t slot = 0; slot < kFavouriteSlots; ++slot)
        if (!favourite(slot).isZero()) last = slot + 1;
    if (favouriteCount() >= kFavouriteSlots || last >= kFavouriteSlots) return false;
    putFavourite(last, id);
    markChanged(kFavouritesChanged, now);
    return true;
}

bool SettingsBlock::removeFavourite(const RecordId& id, const SystemTime& now) {
    if (id.isZero()) return false;
    for (std::size_t slot = 0; slot < kFavouriteSlots; ++slot) {
        if (favourite(slot) != id) continue;
        std::memmove(raw.data() + kFavourites + 16 * slot, raw.data() + kFavourites + 16 * (slot + 1),
                     16 * (kFavouriteSlots - slot - 1));
        putFavourite(kFavouriteSlots - 1, RecordId{});
        markChanged(kFavouritesChanged, now);
        return true;
    }
    return false;
}

void SettingsBlock::clearFavourites(const SystemTime& now) {
    std::memset(raw.data() + kFavourites, 0, 16 * kFavouriteSlots);
    markChanged(kFavouritesChanged, now);
}

void SettingsBlock::markChanged(std::uint32_t bit, const SystemTime& now) {
    putU32(raw.data(), kChangeBits, changeBits() | bit);
    putSystemTime(raw.data(), kChangedAt, now);
    changed = true;
}

}  // namespace tw
