#pragma once

#include <array>
#include <cstdint>

#include "platform/Clock.h"
#include "platform/File.h"
#include "storage/RecordId.h"

namespace tw {

using CardDisplayWords = std::array<std::uint32_t, 16>;

// The settings block (1756 bytes, in clear):
//    0 start magic (16)       16 SYSTEMTIME last change    32 u32 change bits
//   36 default card display, 16 x u32                     100, 104 u32 (5 at creation)
//  108 u32 handed to the closing dialog                    112 u32 closing time in minutes (0 never)
//  116, 120 u32               124 folder text colour       128 card text colour
//  132 reserved (168)        300 favourites: 32 RecordIds  812 reserved (928)   1740 end magic (16)
class SettingsBlock {
public:
    static constexpr std::size_t kSize = 1756;
    static constexpr std::size_t kChangedAt = 16;
    static constexpr std::size_t kChangeBits = 32;
    static constexpr std::size_t kDefaultDisplay = 36;
    static constexpr std::size_t kWord100 = 100;
    static constexpr std::size_t kWord104 = 104;
    static constexpr std::size_t kCloseDialogWord = 108;
    static constexpr std::size_t kCloseMinutes = 112;
    static constexpr std::size_t kFolderColour = 124;
    static constexpr std::size_t kCardColour = 128;
    static constexpr std::size_t kFavourites = 300;
    static constexpr std::size_t kFavouriteSlots = 32;
    static constexpr std::size_t kEndMagic = 1740;

    static constexpr std::uint32_t kCloseTimeChanged = 0x10000;
    static constexpr std::uint32_t kFavouritesChanged = 0x10000000;

    std::array<std::uint8_t, kSize> raw{};
    bool changed = false;

    // A fresh block with the creation values.
    static SettingsBlock create();

    // Reads 1756 bytes; both magics must match (else BadMagic).
    FileResult read(File* file);
    // A block rebuilt from the creation values for one whose magics were damaged, keeping its
    // favourites when they read as a list (filled slots, then empty ones) and its closing time
    // when it is one the program can set (at most a day). Marked changed.
    static SettingsBlock rebuiltFrom(const SettingsBlock& damaged, bool* favouritesKept, bool* closeTimeKept);
    // Writes 1756 bytes; on success the block is unchanged.
    FileResult write(File* file);

    CardDisplayWords defaultDisplay() const;
    std::uint32_t word(std::size_t offset) const;
    std::uint32_t closeMinutes() const { return word(kCloseMinutes); }
    void setCloseMinutes(std::uint32_t minutes, const SystemTime& now);
    std::uint32_t changeBits() const { return word(kChangeBits); }

    // The favourites list: identifiers in display order; an all-zero slot is empty.
    std::size_t favouriteCount() const;
    RecordId favourite(std::size_t slot) const;
    bool isFavourite(const RecordId& id) const;
    // Adds after the last filled slot when fewer than 32 are filled and the card is not in the
    // list yet; true when added.
    bool addFavourite(const RecordId& id, const SystemTime& now);
    // Removes the card and moves every later slot up; true when it was in the list.
    bool removeFavourite(const RecordId& id, const SystemTime& now);
    void clearFavourites(const SystemTime& now);

private:
    void markChanged(std::uint32_t bit, const SystemTime& now);
    void putFavourite(std::size_t slot, const RecordId& id);
};

}  // namespace tw
