// tallowmere-setup: the installer driver, run by each user after the package is installed and
// before it is removed.
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cstdio>
#include <iostream>
#include <string>

#include "platform/LanguageModule.h"
#include "platform/UiLanguage.h"
#include "setup/Driver.h"

namespace {

constexpr char kUsage[] =
    "usage: tallowmere-setup install [--language XXXX] [--clean] [--yes]\n"
    "       tallowmere-setup uninstall [--clean] [--yes]\n"
    "\n"
    "install    sets up Tallowmere Pro for you: your language (XXXX: a language file's four hex\n"
    "           digits, 0409 English, 0407 German) and the samples in \"Tallowmere Samples\" in\n"
    "           your documents folder (existing files are never replaced)\n"
    "uninstall  closes the running program and, after asking, removes your settings; your wallet\n"
    "           files stay\n"
    "--clean    remove the settings without asking when the program is removed\n"
    "--yes      answer every question with OK or Yes\n"
    "Further options: --library FILE, --install-folder DIR (the language files), --samples DIR.\n";

struct Answers {
    bool yes = false;
    std::uint32_t language = 0;
};

int askOnTerminal(void* context, const char* text, const char* caption, std::uint32_t style) {
    const auto* answers = static_cast<const Answers*>(context);
    std::cout << "[" << caption << "]\n" << text << "\n";
    const bool yesNo = (style & TW_MB_YESNO) != 0;
    const bool okCancel = (style & 0xF) == TW_MB_OKCANCEL;
    if (!yesNo && !okCancel) return TW_IDOK;
    if (answers->yes) {
        std::cout << (yesNo ? "-> yes\n" : "-> OK\n");
        return yesNo ? TW_IDYES : TW_IDOK;
    }
    std::cout << (yesNo ? "[y/N] " : "[OK/cancel] ") << std::flush;
    std::string line;
    // No answer at all (end of input): OK goes on, a yes/no question keeps what exists.
    if (!std::getline(std::cin, line)) return yesNo ? TW_IDNO : TW_IDOK;
    const bool affirmative = line.empty() ? okCancel
                                          : (line[0] == 'y' || line[0] == 'Y' || line[0] == 'o' || line[0] == 'O' ||
                                             line[0] == 'j' || line[0] == 'J');
    if (yesNo) return affirmative ? TW_IDYES : TW_IDNO;
    return affirmative ? TW_IDOK : TW_IDCANCEL;
}

std::uint32_t chooseOnTerminal(void* context, const std::uint32_t* ids, const char* const* names, std::uint32_t count,
                               std::uint32_t preselected) {
    const auto* answers = static_cast<const Answers*>(context);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (answers->language != 0 && ids[i] == answers->language) return i;
    }
    if (answers->yes || answers->language != 0 || !::isatty(0)) return preselected;
    for (std::uint32_t i = 0; i < count; ++i)
        std::printf("%s%u  %s (%04x)\n", i == preselected ? "*" : " ", i + 1, names[i], ids[i]);
    std::printf("Language [%u]: ", preselected + 1);
    std::fflush(stdout);
    std::string line;
    if (!std::getline(std::cin, line) || line.empty()) return preselected;
    const unsigned long n = std::strtoul(line.c_str(), nullptr, 10);
    return n >= 1 && n <= count ? static_cast<std::uint32_t>(n - 1) : preselected;
}

// The device answers with its version; this platform is the one the package was built for.
int systemVersion(void*, std::uint32_t* major, std::uint32_t* minor) {
    *major = 5;
    *minor = 1;
    return 1;
}

std::string runtimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return runtime;
    return QFile::encodeName(QDir::tempPath()).toStdString() + "/halvotmpro2006-" + std::to_string(::getuid());
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
        return 0;
    }
    const std::string folder = tw::programFolder();
    tw::setup::DriverOptions options;
    options.library = folder + "/libTallowmerePro2006_MobileSetup.so";
    options.installFolder = folder;
    options.samplesFolder =
        isFolder(folder + "/samples") ? folder + "/samples" : folder + "/../../share/tallowmere-pro/samples";
    Answers answers;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--clean") {
            options.clean = true;
        } else if (arg == "--yes") {
            answers.yes = true;
        } else if (arg == "--language" && hasValue) {
            answers.language = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 16));
        } else if (arg == "--library" && hasValue) {
            options.library = argv[++i];
        } else if (arg == "--install-folder" && hasValue) {
            options.installFolder = argv[++i];
        } else if (arg == "--samples" && hasValue) {
            options.samplesFolder = argv[++i];
        } else {
            std::cerr << "tallowmere-setup: unknown option or missing value: " << arg << "\n" << kUsage;
            return 2;
        }
    }
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) documents = QDir::homePath() + QStringLiteral("/Documents");
    const std::string documentsFolder = QFile::encodeName(documents).toStdString();
    const std::string runtime = runtimeFolder();
    const char* device = std::getenv("TALLOWMERE_DEVICE");
    tw::EnvironmentUiLanguage uiLanguage;

    TwSetupHost& host = options.host;
    host.size = sizeof host;
    host.context = &answers;
    host.message = askOnTerminal;
    host.chooseLanguage = chooseOnTerminal;
    host.systemVersion = systemVersion;
    host.platformType = device && std::string(device) == "Smartphone" ? "SmartPhone" : "PocketPC";
    host.documentsFolder = documentsFolder.c_str();
    host.registryFolder = "";
    host.runtimeFolder = runtime.c_str();
    host.uiLanguage = uiLanguage.languageId();
    host.closeTimeoutMs = 10000;

    tw::setup::DriverResult result;
    if (command == "install") {
        result = tw::setup::runInstall(options);
    } else if (command == "uninstall") {
        result = tw::setup::runUninstall(options);
    } else {
        std::cerr << "tallowmere-setup: unknown command: " << command << "\n" << kUsage;
        return 2;
    }
    if (result == tw::setup::DriverResult::NoLibrary) {
        std::cerr << "tallowmere-setup: cannot load " << options.library << "\n";
        return 1;
    }
    return result == tw::setup::DriverResult::Cancelled ? 3 : 0;
}
