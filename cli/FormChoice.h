#pragma once

#include <string>
#include <string_view>

#include "storage/RecordHeader.h"
#include "storage/WalletFile.h"

namespace tw::cli {

// A form named on the command line.
struct FormChoice {
    FormRef ref;
    int error = 0;  // 0, or the exit code (not found, ambiguous)
    std::string message;
};

// Finds a form by its number (500-542), its index among the built-in forms (0-42), or its name
// without regard to case: the built-in forms by their names in the loaded language, and the
// wallet's own forms (the cards of its forms folder).
FormChoice chooseForm(WalletFile& wallet, std::string_view text);

}  // namespace tw::cli
