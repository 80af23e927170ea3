#include "model/PasswordGenerator.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace tw {
namespace {

constexpr std::string_view kLookalikes = "Il1|O0";

// A number below `bound` (which is not 0), every value equally likely: draws that fall in the
// incomplete last block of 2^32 are drawn again.
std::uint32_t below(std::uint32_t bound, Random& random) {
    const std::uint32_t limit = static_cast<std::uint32_t>(-bound) % bound;  // 2^32 mod bound
    for (;;) {
        const std::uint32_t r = random.next();
        if (r >= limit) return r % bound;
    }
}

}  // namespace

std::string charactersOf(unsigned charClass, bool excludeLookalikes) {
    std::string chars;
    switch (charClass) {
        case char_class::kLower:
            chars = "abcdefghijklmnopqrstuvwxyz";
            break;
        case char_class::kUpper:
            chars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
            break;
        case char_class::kDigits:
            chars = "0123456789";
            break;
        case char_class::kSymbols:
            chars = "!#$%&()*+,-./:;<=>?@[]^_{}~";
            break;
        default:
            return {};
    }
    if (excludeLookalikes) std::erase_if(chars, [](char c) { return kLookalikes.find(c) != std::string_view::npos; });
    return chars;
}

bool validRules(const PasswordRules& rules) {
    const unsigned classes = rules.classes & char_class::kAll;
    return classes != 0 && rules.length >= static_cast<std::size_t>(std::popcount(classes)) &&
           rules.length <= PasswordRules::kMaxLength;
}

std::u16string generatePassword(const PasswordRules& rules, Random& random) {
    if (!validRules(rules)) return {};
    std::string pool;
    for (unsigned c = 1; c <= char_class::kSymbols; c <<= 1)
        if (rules.classes & c) pool += charactersOf(c, rules.excludeLookalikes);
    std::u16string password(rules.length, u' ');
    // Drawing again until every class is present keeps each acceptable password equally likely.
    for (;;) {
        for (char16_t& ch : password)
            ch = static_cast<char16_t>(pool[below(static_cast<std::uint32_t>(pool.size()), random)]);
        bool all = true;
        for (unsigned c = 1; c <= char_class::kSymbols && all; c <<= 1) {
            if (!(rules.classes & c)) continue;
            const std::string chars = charactersOf(c, rules.excludeLookalikes);
            all = std::any_of(password.begin(), password.end(),
                              [&](char16_t ch) { return chars.find(static_cast<char>(ch)) != std::string::npos; });
        }
        if (all) return password;
    }
}

}  // namespace tw
