#pragma once

#include <cstddef>
#include <string_view>

#include "model/DisplayText.h"
#include "storage/WalletFile.h"

namespace tw {

// Finds the live cards whose name, field names or field values (as shown, dates in the locale's
// patterns) contain `text`, without regard to case. The text is trimmed and cut to 63
// characters; fewer than 2 characters find nothing. At most 48 cards, in file order, go to the
// wallet's search results (with the text); returns how many were found.
std::size_t searchCards(WalletFile& wallet, std::u16string_view text, const LocalePatterns& locale);

}  // namespace tw
