// halvotmpro2006: the wallet program.
#include <QApplication>

#include "app/DeviceKind.h"
#include "platform/IniRegistry.h"
#include "platform/LanguageModule.h"
#include "platform/PosixFile.h"
#include "platform/ProcessGuard.h"
#include "shell/Program.h"
#include "shell/SingleInstance.h"

int main(int argc, char** argv) {
    // Passwords and keys pass through this process: no core file may hold them.
    tw::keepOutOfCoreDumps();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("halvotmpro2006"));
    QApplication::setDesktopFileName(QStringLiteral("com.halvorsgarden.TallowmerePro"));

    tw::IniRegistry registry;
    tw::PosixFileSystem files;
    tw::EnvironmentUiLanguage uiLanguage;
    tw::PosixFolderLister lister;
    tw::shell::ProgramServices services{registry,
                                        files,
                                        uiLanguage,
                                        lister,
                                        QApplication::applicationFilePath().toStdString(),
                                        tw::programFolder(),
                                        tw::shell::runtimeFolder(),
                                        tw::app::detectDeviceKind()};

    // The wallet to open comes as one argument; a path with spaces split by an unquoted opener
    // is joined again.
    std::string argument;
    for (int i = 1; i < argc; ++i) argument += (i > 1 ? " " : "") + std::string(argv[i]);
    return tw::shell::runProgram(services, argument);
}
