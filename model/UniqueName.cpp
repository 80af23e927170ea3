#include "model/UniqueName.h"

#include "platform/Text.h"
#include "storage/WalletFile.h"

namespace tw {
namespace {

constexpr std::size_t kMaxName = 255;

bool taken(const WalletFile& wallet, const RecordId& parent, std::u16string_view name) {
    const WalletIndex& index = wallet.index();
    for (std::size_t i = 0; i < index.count(); ++i) {
        const IndexEntry& h = index.at(i);
        if (!h.deleted() && h.parent() == parent && equalNoCase(wallet.nameOf(i), name)) return true;
    }
    return false;
}

}  // namespace

std::u16string uniqueName(const WalletFile& wallet, const RecordId& parent, std::u16string_view name) {
    if (!taken(wallet, parent, name)) return std::u16string(name);
    for (int n = 2;; ++n) {
        const std::u16string suffix = u" (" + fromUtf8(std::to_string(n)) + u")";
        const std::u16string candidate = std::u16string(name.substr(0, kMaxName - suffix.size())) + suffix;
        if (!taken(wallet, parent, candidate)) return candidate;
    }
}

}  // namespace tw
