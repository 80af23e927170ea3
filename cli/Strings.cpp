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
    // built into the tool. Most commands show no text from it, so it is read only when the first
    // text is asked for.
    strings.loadOnFirstUse([](StringTable& table) {
        PosixFileSystem files;
        PosixFolderLister lister;
        IniRegistry registry;
        EnvironmentUiLanguage ui;
        loadLanguageModule(files, lister, defaultLanguageSearch(registry, ui), table, nullptr);
        loadFallbackTexts(table);
    });
}

}  // namespace tw::cli
