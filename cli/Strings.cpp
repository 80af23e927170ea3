#include "cli/FallbackTexts.h"
#include "cli/Tool.h"
#include "platform/StringTable.h"

namespace tw::cli {

// No language file is looked for yet: the built-in English texts serve.
void loadStrings(StringTable& strings, const char*) { loadFallbackTexts(strings); }

}  // namespace tw::cli
