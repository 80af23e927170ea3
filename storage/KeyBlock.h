#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/Random.h"
#include "storage/KeyRecord.h"
#include "storage/Keys.h"

namespace tw {

// The key block (3148 bytes). Mostly in clear; the hint and the special-entry names are
// enciphered under the file key, the check value under the record key.
//    0 start magic (16)           16 SYSTEMTIME last change     32 u32 change bits
//   36 u32 1 at creation          40 check value (16)           56 filler (16); old format: record key
//   72 filler u32                 76 SYSTEMTIME creation         92 reserved (16)
//  108 filler u32                112 reserved (12)              124 filler u32
//  128 reserved (272)            400 filler, 8 x u32            432 hint, 512 bytes
//  944 reserved (1664)          2608 special entry 1 name (128) 2736 entry 2 name    2864 entry 3 name
// 2992 icon of entry 1          2996 icon of entry 3           3000 icon of entry 2
// 3004 reserved (128)           3132 end magic (16)
class KeyBlock {
public:
    static constexpr std::size_t kSize = 3148;
    static constexpr std::size_t kStartMagic = 0;
    static constexpr std::size_t kChangedAt = 16;
    static constexpr std::size_t kChangeBits = 32;
    static constexpr std::size_t kCreatedWord = 36;
    static constexpr std::size_t kCheckValue = 40;
    static constexpr std::size_t kFiller56 = 56;
    static constexpr std::size_t kFiller72 = 72;
    static constexpr std::size_t kCreatedAt = 76;
    static constexpr std::size_t kFiller108 = 108;
    static constexpr std::size_t kFiller124 = 124;
    static constexpr std::size_t kFiller400 = 400;
    static constexpr std::size_t kHint = 432;
    static constexpr std::size_t kHintSize = 512;
    static constexpr std::size_t kMaxHint = 255;
    static constexpr std::size_t kSpecialName1 = 2608;
    static constexpr std::size_t kSpecialNameSize = 128;
    static constexpr std::size_t kMaxSpecialName = 63;
    static constexpr std::size_t kSpecialIcon1 = 2992;
    static constexpr std::size_t kEndMagic = 3132;

    // Change bits.
    static constexpr std::uint32_t kPasswordChanged = 1;
    static constexpr std::uint32_t kHintSet = 2;
    static constexpr std::uint32_t kSpecialSet = 16;

    // Special entries: 1 favourites, 2 find results, 3 the third tree entry.
    static constexpr int kSpecialCount = 3;
    static constexpr std::uint32_t kKeepIcon = 0xFFFFFFFF;

    KeyBlock() = default;
    KeyBlock(const KeyBlock&) = default;
    KeyBlock& operator=(const KeyBlock&) = default;
    ~KeyBlock() { clear(); }

    std::array<std::uint8_t, kSize> raw{};
    bool changed = false;
    bool verified = false;  // a password was verified against this block
    KeyRecord fileKey;
    KeyRecord recordKey;
    Key16 oldRecordKey{};  // deciphered from offset 56 at read; meaningful in old-format files only

    // A fresh block: magics, both times `now`, file key, record key and check value from the
    // password (change bit 1), word 36 = 1, the special entries, and the hint (change bit 2).
    void create(const SystemTime& now, std::optional<std::u16string_view> password,
                std::optional<std::u16string_view> hint, const std::array<std::u16string, 3>& specialNames);

    // Reads 3148 bytes; both magics must match (else BadMagic). Makes the file key, deciphers
    // the old-format record key, and marks the block unchanged.
    FileResult read(File* file);
    // After a read that gave BadMagic: puts both magics back and does what the read would have
    // done; the block is marked changed. For the repair, once the password check verifies.
    void restoreMagics();
    // New random filler, then 3148 bytes; on success the block is unchanged.
    FileResult write(File* file, Random& random);

    SystemTime createdAt() const;
    std::uint32_t changeBits() const;
    bool hasCheckValue() const;
    Key16 checkValue() const;

    // True when `password` opens this block. An old-format check value (the record key itself)
    // is accepted and replaced by the current check value, marking the block changed.
    bool verifyPassword(std::u16string_view password);
    // Makes the record key and check value for a password (the fallback pass phrase, and no
    // check value, outside 3 to 24 code units), loads the record key, sets change bit 1.
    void setPassword(std::optional<std::u16string_view> password, const SystemTime& now);
    // Loads the record key made from `password` without changing the stored bytes.
    void loadRecordKey(std::optional<std::u16string_view> password);

    // The hint (at most 255 code units); false when none is stored or the file key is not loaded.
    bool readHint(std::u16string& hint) const;
    // Stores a hint (cut to 255) or none; false when a hint is given and the file key is not loaded.
    bool setHint(std::optional<std::u16string_view> hint, const SystemTime& now);

    // Special entry 1 to 3: name (at most 63 code units) and icon. False when the name area is
    // all zero, the entry is out of range or the file key is not loaded.
    bool readSpecial(int entry, std::u16string& name, std::uint32_t& icon) const;
    // Stores a name (cut to 63) or none, and the icon unless it is kKeepIcon.
    bool setSpecial(int entry, std::optional<std::u16string_view> name, std::uint32_t icon, const SystemTime& now);
    std::uint32_t specialIcon(int entry) const;

    // Wipes keys and bytes.
    void clear();

private:
    void markChanged(std::uint32_t bit, const SystemTime& now);
    static std::size_t specialIconOffset(int entry);
};

}  // namespace tw
