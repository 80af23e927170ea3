#pragma once

namespace tw {
class StringTable;
}

namespace tw::cli {

// When `strings` holds no language file, loads the English texts built into the tool: the
// English source tables of the build, plus default names for the few texts that a new wallet
// stores or the tool's own messages show when those tables lack them. A loaded table is left
// as it is.
void loadFallbackTexts(StringTable& strings);

}  // namespace tw::cli
