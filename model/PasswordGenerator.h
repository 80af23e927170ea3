#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/Random.h"

namespace tw {

// The kinds of characters a generated password may hold.
namespace char_class {
constexpr unsigned kLower = 1;    // a-z
constexpr unsigned kUpper = 2;    // A-Z
constexpr unsigned kDigits = 4;   // 0-9
constexpr unsigned kSymbols = 8;  // !#$%&()*+,-./:;<=>?@[]^_{}~ (no quotes, backslash or space)
constexpr unsigned kAll = kLower | kUpper | kDigits | kSymbols;
}  // namespace char_class

struct PasswordRules {
    static constexpr std::size_t kMaxLength = 255;
    std::size_t length = 20;
    unsigned classes = char_class::kLower | char_class::kUpper | char_class::kDigits;
    // Leave out characters that are easily mistaken for one another: I l 1 | O 0.
    bool excludeLookalikes = false;
};

// The characters of one class (one char_class bit), less the look-alikes when asked.
std::string charactersOf(unsigned charClass, bool excludeLookalikes);

// True when `rules` can be met: at least one class, a length from the number of classes up to
// kMaxLength.
bool validRules(const PasswordRules& rules);

// A password of `rules.length` characters, each drawn without bias from the characters of the
// chosen classes, holding at least one character of every chosen class. Every draw comes from
// `random`, which in the programs is the operating system's secure generator. Empty when the
// rules cannot be met. The caller wipes the result when done.
std::u16string generatePassword(const PasswordRules& rules, Random& random);

}  // namespace tw
