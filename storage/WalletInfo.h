#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/Env.h"
#include "storage/WalletFile.h"

namespace tw {

// What can be learnt about a wallet without its password.
struct WalletInfo {
    std::string version;  // the version text, e.g. "(6.50) "
    bool oldFormat = false;
    bool hasPassword = true;  // false: keyed with the fixed pass phrase
    SystemTime created;
    std::u16string hint;
    std::array<std::u16string, 3> specialNames;
    std::array<std::uint32_t, 3> specialIcons{};
    std::uint32_t closeMinutes = 0;
    std::size_t favourites = 0;
    std::size_t folders = 0;
    std::size_t cards = 0;    // ordinary cards
    std::size_t forms = 0;    // cards in the forms folder
    std::size_t deleted = 0;  // deletion markers
    std::uint64_t fileSize = 0;
    bool damaged = false;  // a record could not be read
};

// What inspectWallet reads: the blocks only (the record counts stay 0 and `damaged` false), or
// the record headers too.
enum class InspectDepth { Blocks, Records };

// Reads the blocks and walks the record headers of a wallet, read-only, without the password.
OpenResult inspectWallet(Env& env, const std::string& path, WalletInfo& info,
                         InspectDepth depth = InspectDepth::Records);

}  // namespace tw
