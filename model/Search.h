#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "model/DisplayText.h"
#include "storage/WalletFile.h"

namespace tw {

// Finds the live cards whose name, field names or field values (as shown, dates in the locale's
// patterns) contain `text`, without regard to case. The text is trimmed and cut to 63
// characters; fewer than 2 characters find nothing. At most 48 cards, in file order, go to the
// wallet's search results (with the text); returns how many were found.
std::size_t searchCards(WalletFile& wallet, std::u16string_view text, const LocalePatterns& locale);

// Looks for one text in card bodies straight from their enciphered bytes, without building a
// card: it answers what Card::parseBody followed by a look at every field's name and shown value
// would answer. Every text is deciphered into one buffer that is reused and wiped after each
// body; units are folded only where the needle's first unit matches. Not for use from two threads at once.
class CardTextMatcher {
public:
    // `foldedNeedle` is case-folded (foldCase) and not empty; it and the other arguments must
    // outlive the matcher.
    CardTextMatcher(std::u16string_view foldedNeedle, const KeyRecord& key, const LocalePatterns& locale,
                    const StringTable& strings);
    ~CardTextMatcher();
    CardTextMatcher(const CardTextMatcher&) = delete;
    CardTextMatcher& operator=(const CardTextMatcher&) = delete;

    // True when `text` holds the needle, without regard to case (only its first 49151
    // characters are looked at).
    bool textHolds(std::u16string_view text) const;
    // True when a field that Card::parseBody would keep has the needle in its name or shown
    // value. Stops at the first hit. False for a body Card::parseBody refuses.
    bool bodyHolds(std::span<const std::uint8_t> body);

    // Where one text item of a field payload lies, after the descriptor.
    struct Item {
        std::size_t at = 0;
        std::size_t bytes = 0;
    };

private:
    // Deciphers the text item of `bytes` bytes at `source` and looks for the needle in it.
    bool itemHolds(const std::uint8_t* source, std::size_t bytes);
    // The field's name and shown value; `items` are its name, value and list.
    bool fieldHolds(const std::uint8_t* payload, const Item* items);
    void wipeUsed();

    std::u16string_view m_needle;
    const KeyRecord& m_key;
    const LocalePatterns& m_locale;
    const StringTable& m_strings;
    std::unique_ptr<std::uint8_t[]> m_plain;  // deciphered bytes of one item
    std::size_t m_used = 0;                   // bytes of m_plain written since the last wipe
    std::array<char16_t, 3> m_firsts{};       // units that fold to the needle's first unit
    bool m_foldFirst = false;                 // more of them than m_firsts holds: fold to compare
    bool m_neverFound = false;
};

}  // namespace tw
