#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "cli/Session.h"
#include "model/DisplayText.h"

namespace tw::cli {

// The live card at `path`. 0 with its index position, or the exit code after saying why not.
int findCard(Session& session, const std::string& path, std::size_t& position);

// The folder at `path` ("" or "/" for the top level, which gives the zero identifier). 0 with
// its identifier, or the exit code after saying why not (a card is no folder).
int findFolder(Session& session, const std::string& path, RecordId& folder);

// True when a live record in `parent`, other than the one at `except`, has the name (without
// regard to case).
bool nameTaken(const WalletFile& wallet, const RecordId& parent, std::u16string_view name, std::int64_t except = -1);

// A date and time in the user's patterns ("unknown" when not set).
std::string formatWhen(const SystemTime& when, const LocalePatterns& locale);

}  // namespace tw::cli
