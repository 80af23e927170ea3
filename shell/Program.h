#pragma once

#include <QString>
#include <string>

#include "app/DeviceKind.h"
#include "platform/File.h"
#include "platform/LanguageModule.h"
#include "platform/Registry.h"
#include "platform/UiLanguage.h"

namespace tw::shell {

// The services the program runs on; main() hands in the real ones.
struct ProgramServices {
    Registry& registry;
    FileSystem& files;
    UiLanguage& uiLanguage;
    FolderLister& folderLister;
    std::string programPath;    // the program's full path, registered as the file types' opener
    std::string programFolder;  // where the language files are
    QString runtimeFolder;      // where the single-instance lock and socket are
    app::DeviceKind device = app::DeviceKind::PocketPC;
};

// The program from start to end, in this order: load the settings (registering the file types),
// read the command line, hand over to a program already running (and end), load the language
// file, create the main window, show the first-run notice, open the wallet named on the command
// line or else the last one (when "OpenLast" is on), else ask for one (ending when none is
// chosen), run until Exit, and save the settings. SIGTERM, SIGINT, SIGHUP and the end of the
// session close the wallet and save the settings too. Returns the exit code.
int runProgram(ProgramServices& services, const std::string& argument);

}  // namespace tw::shell
