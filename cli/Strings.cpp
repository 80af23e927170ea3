#include "cli/FallbackTexts.h"
#include "cli/Tool.h"
#include "platform/IniRegistry.h"
#include "platform/LanguageModule.h"
#include "platform/PosixFile.h"
#include "platform/StringTable.h"
#include "platform/UiLanguage.h"

namespace tw::cli {

void loadStrings(StringTable& strings, const char*) {
    // The user's language file, found as the program finds it; without one, the English texts
    // built into the tool.
    PosixFileSystem files;
    PosixFolderLister lister;
    IniRegistry registry;
    EnvironmentUiLanguage ui;
    loadLanguageModule(files, lister, defaultLanguageSearch(registry, ui), strings, nullptr);
    loadFallbackTexts(strings);
}

}  // namespace tw::cli
