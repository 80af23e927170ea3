#pragma once

#include <string>
#include <string_view>

#include "storage/RecordId.h"

namespace tw {

class WalletFile;

// `name`, or, when a live record in `parent` already has it (without regard to case), the first
// of "name (2)", "name (3)", ... that none has; the name is cut so that the whole stays within
// the 255 characters a record name holds.
std::u16string uniqueName(const WalletFile& wallet, const RecordId& parent, std::u16string_view name);

}  // namespace tw
