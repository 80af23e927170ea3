#include "cli/Tool.h"
#include "platform/StringTable.h"

namespace tw::cli {

void loadStrings(StringTable&, const char*) {}

}  // namespace tw::cli
