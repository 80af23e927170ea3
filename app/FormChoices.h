#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/StringTable.h"
#include "storage/RecordHeader.h"

namespace tw {
class WalletFile;
}

namespace tw::app {

class CustomIcons;

// One form the user may make a card from (or give a folder as its default form).
struct FormChoice {
    static constexpr std::size_t kMaxName = 127;

    bool builtin = false;
    // Built-in form: {index, 0, 0, 0}; custom form: the identifier of its card in the forms folder.
    FormRef ref;
    std::size_t builtinIndex = 0;  // built-in forms only
    std::u16string name;           // at most kMaxName code units
    int iconEntry = 0;             // entry of the small image list (iconListEntry)
};

// The built-in form reference {index, 0, 0, 0}.
FormRef builtinFormRef(std::size_t index);

// The forms offered: the wallet's custom forms (live cards of its forms folder) in index order,
// then the 43 built-in forms in table order, named from `strings`. `custom` (may be null) gives
// custom forms' own icons their entries.
std::vector<FormChoice> formChoices(const WalletFile& wallet, const StringTable& strings, const CustomIcons* custom);

// The name of the form a reference names (a folder's default form): a built-in form's text, a
// custom form's name; empty when it names no form of the wallet.
std::u16string formName(const WalletFile& wallet, const StringTable& strings, const FormRef& ref);

// Less-than on names without regard to case.
using NameLess = std::function<bool(const std::u16string&, const std::u16string&)>;
// Compares the names case-folded (platform/Text.h foldCase).
bool foldedLess(const std::u16string& a, const std::u16string& b);

// Sorts by name without regard to case; entries of equal names keep their order.
void sortFormChoices(std::vector<FormChoice>& choices, const NameLess& less = foldedLess);

// The position of the choice whose reference equals `current` (all 16 bytes), else 0.
std::size_t preselectedChoice(const std::vector<FormChoice>& choices, const FormRef& current);

// What OK hands back for the selected position (none selected: -1): that choice, or the first;
// with no choices at all, the first built-in form.
FormChoice confirmedChoice(const std::vector<FormChoice>& choices, std::ptrdiff_t selected);

}  // namespace tw::app
