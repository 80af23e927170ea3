#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "storage/Bytes.h"

namespace tw {

// A card's display settings: sixteen u32 words, the first 64 bytes of every card body, stored
// in clear. Words without a name here are carried through load and save unchanged.
struct CardDisplay {
    static constexpr std::size_t kWords = 16;
    static constexpr std::size_t kSize = kWords * 4;
    static_assert(kSize == 64);

    static constexpr std::size_t kValueColour = 2;    // COLORREF 0x00BBGGRR
    static constexpr std::size_t kBackground = 3;     // COLORREF
    static constexpr std::size_t kNameColour = 4;     // COLORREF
    static constexpr std::size_t kLayout = 8;         // 0, 1 or 2
    static constexpr std::size_t kShowPasswords = 9;  // always show password fields (0/1)
    static constexpr std::size_t kTextSize = 11;      // text size step
    static constexpr std::size_t kNamesBold = 12;     // 0/1
    static constexpr std::size_t kValuesBold = 13;    // 0/1

    std::array<std::uint32_t, kWords> words{};

    // The defaults a new wallet stores for its new cards.
    static CardDisplay walletDefault() {
        return CardDisplay{{0, 0xFFFFFF, 0x800000, 0xFFFFFF, 0, 0xFFFFFF, 0xFF0000, 9, 0, 0, 0, 9, 0, 0, 0, 0}};
    }

    std::uint32_t valueColour() const { return words[kValueColour]; }
    std::uint32_t background() const { return words[kBackground]; }
    std::uint32_t nameColour() const { return words[kNameColour]; }
    std::uint32_t layout() const { return words[kLayout]; }
    bool showPasswords() const { return words[kShowPasswords] != 0; }
    std::uint32_t textSize() const { return words[kTextSize]; }
    bool namesBold() const { return words[kNamesBold] != 0; }
    bool valuesBold() const { return words[kValuesBold] != 0; }

    void setValueColour(std::uint32_t colour) { words[kValueColour] = colour; }
    void setBackground(std::uint32_t colour) { words[kBackground] = colour; }
    void setNameColour(std::uint32_t colour) { words[kNameColour] = colour; }
    void setLayout(std::uint32_t layout) { words[kLayout] = layout; }
    void setShowPasswords(bool show) { words[kShowPasswords] = show ? 1 : 0; }
    void setTextSize(std::uint32_t step) { words[kTextSize] = step; }
    void setNamesBold(bool bold) { words[kNamesBold] = bold ? 1 : 0; }
    void setValuesBold(bool bold) { words[kValuesBold] = bold ? 1 : 0; }

    // The 64 bytes as stored, little-endian words in order.
    static CardDisplay read(const std::uint8_t* bytes) {
        CardDisplay display;
        for (std::size_t i = 0; i < kWords; ++i) display.words[i] = getU32(bytes, 4 * i);
        return display;
    }
    void write(std::uint8_t* bytes) const {
        for (std::size_t i = 0; i < kWords; ++i) putU32(bytes, 4 * i, words[i]);
    }

    friend bool operator==(const CardDisplay&, const CardDisplay&) = default;
};

}  // namespace tw
