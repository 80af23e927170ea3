#include "cli/Tool.h"
#include "platform/IniRegistry.h"
#include "platform/LanguageModule.h"
#include "platform/PosixFile.h"
#include "platform/StringTable.h"
#include "platform/UiLanguage.h"

namespace tw::cli {

void loadStrings(StringTable& strings, const char*) {
    // The user's language file, found as the program finds it. Without one the tool still
    // works; texts that only a language file has then read "*".
    PosixFileSystem files;
    PosixFolderLister lister;
    IniRegistry registry;
    EnvironmentUiLanguage ui;
    loadLanguageModule(files, lister, defaultLanguageSearch(registry, ui), strings, nullptr);
}

}  // namespace tw::cli
