// TallowmerePro2006_MobileSetup: the setup extension. It shares with the wallet program only the
// settings key, the name the running program answers to, and the file names of the samples.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/IniRegistry.h"
#include "platform/Text.h"
#include "setup/SetupHost.h"
#include "setup/SetupStrings.h"

#define TW_SETUP_EXPORT extern "C" __attribute__((visibility("default")))

namespace tw::setup {

namespace {

constexpr char16_t kSettingsKey[] = u"SOFTWARE\\Halvorsgarden\\Tallowmere Pro 5";
constexpr char16_t kMakerKey[] = u"SOFTWARE\\Halvorsgarden";
constexpr char16_t kClean[] = u"Clean";
constexpr char16_t kClean2[] = u"Clean2";
constexpr char16_t kLangPref[] = u"LangPref";
constexpr char16_t kMru[] = u"MRU";
// The running program listens here (its single-instance name), in the user's runtime folder.
constexpr char kInstanceName[] = "hgtmpro5.mtx";
constexpr std::uint8_t kCloseMessage = 4;

constexpr std::uint32_t kEnglishUs = 1033;
constexpr std::size_t kMaxLanguageFiles = 32;
constexpr char kSamplesFolder[] = "Tallowmere Samples";
// The names the package gives the samples before they are named in the chosen language.
constexpr char kInstalledWallet[] = "Sample Wallet.tm5";
constexpr char kInstalledMyWallet[] = "My Sample Wallet.tm5";
constexpr char kInstalledImport[] = "Import Sample.txt";
constexpr char kInstalledForm[] = "Form Sample.tmx";

// The version text and the product caption of the welcome.
constexpr int kVersionMajor = 6;
constexpr int kVersionMinor = 54;
constexpr char kBuildDate[] = "Mar 23 2007";

// Cleared when the library is loaded.
bool g_silentClean = false;

std::string folderOf(const TwSetupHost* host, const char* field) {
    return host && field ? std::string(field) : std::string();
}

IniRegistry openRegistry(const TwSetupHost* host) {
    return IniRegistry(host ? folderOf(host, host->registryFolder) : std::string());
}

int show(TwSetupHost* host, const std::string& text, const std::string& caption, std::uint32_t style) {
    if (!host || !host->message) return (style & TW_MB_YESNO) ? TW_IDNO : TW_IDOK;
    return host->message(host->context, text.c_str(), caption.c_str(), style);
}

std::uint32_t uiLanguage(const TwSetupHost* host) {
    return host && host->uiLanguage ? host->uiLanguage : kEnglishUs;
}

std::string text(std::uint32_t id, std::uint32_t language) {
    return localString(id, language);
}

std::string formatText(const std::string& pattern, std::initializer_list<std::string> args) {
    std::vector<std::u16string> wide;
    for (const std::string& a : args) wide.push_back(fromUtf8(a));
    std::u16string out;
    switch (wide.size()) {
        case 1:
            out = format(fromUtf8(pattern), {wide[0]});
            break;
        case 3:
            out = format(fromUtf8(pattern), {wide[0], wide[1], wide[2]});
            break;
        default:
            out = fromUtf8(pattern);
            break;
    }
    return toUtf8(out);
}

std::string versionText() {
    char number[16];
    std::snprintf(number, sizeof number, "%d.%02d%s", kVersionMajor, kVersionMinor, "");
    return std::string("Version ") + number;
}

void readCleanFlag(Registry& registry) {
    std::optional<std::uint32_t> clean = registry.readDword(RegistryRoot::CurrentUser, kSettingsKey, kClean);
    if (!clean) clean = registry.readDword(RegistryRoot::CurrentUser, kSettingsKey, kClean2);
    if (clean && *clean == 1) g_silentClean = true;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// Renames without ever replacing: a link to the new name fails when it exists.
bool renameNoReplace(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) == 0) return ::unlink(from.c_str()) == 0;
    if (errno == EEXIST) return false;
    if (exists(to)) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

// The installed sample `installed` in the folder gets the localised name, unless a file of that
// name is there: then that one (which may hold the user's data by now) wins and the installed
// copy goes.
void nameSample(const std::string& folder, const char* installed, const std::string& localised) {
    const std::string from = folder + installed;
    if (!exists(from)) return;
    if (equalNoCase(fromUtf8(installed), fromUtf8(localised))) return;
    const std::string to = folder + localised;
    if (!exists(to) && renameNoReplace(from, to)) return;
    ::unlink(from.c_str());
}

void nameSamples(TwSetupHost* host, Registry& registry, std::uint32_t language) {
    const std::string documents = folderOf(host, host ? host->documentsFolder : nullptr);
    if (documents.empty()) return;
    ::mkdir(documents.c_str(), 0700);
    const std::string folder = documents + "/" + kSamplesFolder + "/";
    const std::string wallet = text(kEnglishBase + kSampleWallet, language);
    const std::optional<std::u16string> mru = registry.readString(RegistryRoot::CurrentUser, kSettingsKey, kMru);
    if (!mru || mru->size() < 5)
        registry.writeString(RegistryRoot::CurrentUser, kSettingsKey, kMru, fromUtf8(folder + wallet));
    nameSample(folder, kInstalledWallet, wallet);
    nameSample(folder, kInstalledMyWallet, wallet);
    nameSample(folder, kInstalledImport, text(kEnglishBase + kSampleImport, language));
    nameSample(folder, kInstalledForm, text(kEnglishBase + kSampleForm, language));
}

struct LanguageFile {
    std::uint32_t id = 0;
    std::string path;
};

std::vector<LanguageFile> languageFiles(const std::string& folder) {
    std::vector<LanguageFile> found;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return found;
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".mui") != 0) continue;
        const std::size_t exe = name.find(".exe.");
        if (exe == std::string::npos || exe + 9 > name.size()) continue;
        const std::string digits = name.substr(exe + 5, 4);
        if (!std::all_of(digits.begin(), digits.end(),
                         [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
            continue;
        found.push_back({static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16)), folder + "/" + name});
        if (found.size() == kMaxLanguageFiles) break;
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end(), [](const LanguageFile& a, const LanguageFile& b) { return a.id < b.id; });
    return found;
}

std::uint32_t chooseLanguage(TwSetupHost* host, const std::vector<LanguageFile>& files) {
    const std::uint32_t ui = uiLanguage(host);
    std::size_t preselected = files.size();
    for (std::size_t i = 0; i < files.size() && preselected == files.size(); ++i) {
        if (files[i].id == ui) preselected = i;
    }
    for (std::size_t i = 0; i < files.size() && preselected == files.size(); ++i) {
        if ((files[i].id & 0x3FF) == (ui & 0x3FF)) preselected = i;
    }
    for (std::size_t i = 0; i < files.size() && preselected == files.size(); ++i) {
        if (files[i].id == kEnglishUs) preselected = i;
    }
    if (preselected == files.size()) preselected = 0;
    if (files.size() < 2 || !host || !host->chooseLanguage) return files[preselected].id;
    std::vector<std::uint32_t> ids;
    std::vector<std::string> names;
    for (const LanguageFile& f : files) {
        ids.push_back(f.id);
        names.push_back(languageName(f.id));
    }
    std::vector<const char*> namePointers;
    for (const std::string& n : names) namePointers.push_back(n.c_str());
    const std::uint32_t chosen =
        host->chooseLanguage(host->context, ids.data(), namePointers.data(), static_cast<std::uint32_t>(ids.size()),
                             static_cast<std::uint32_t>(preselected));
    return chosen < ids.size() ? ids[chosen] : kEnglishUs;
}

// Asks the running program to end, as Exit would, and waits up to the host's time limit for it
// to let go of its lock.
void closeRunningProgram(const TwSetupHost* host) {
    const std::string folder = folderOf(host, host ? host->runtimeFolder : nullptr);
    if (folder.empty()) return;
    const std::string socketPath = folder + "/" + kInstanceName;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    bool sent = false;
    if (socketPath.size() < sizeof address.sun_path) {
        std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            // Length 1 (little-endian), then the message type; no text.
            const unsigned char frame[5] = {1, 0, 0, 0, kCloseMessage};
            sent = ::send(fd, frame, sizeof frame, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof frame);
        }
    }
    ::close(fd);
    if (!sent) return;
    const std::string lockPath = socketPath + ".lock";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(host->closeTimeoutMs);
    const int lock = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (lock < 0) return;
    while (::flock(lock, LOCK_EX | LOCK_NB) != 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::close(lock);
}

}  // namespace

}  // namespace tw::setup

using namespace tw;
using namespace tw::setup;

TW_SETUP_EXPORT int Install_Init(TwSetupHost* host, int, int, const char*) {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    if (!host || !host->systemVersion || !host->systemVersion(host->context, &major, &minor) || major != 5 || minor < 1)
        return 1;
    IniRegistry registry = openRegistry(host);
    if (!registry.createKey(RegistryRoot::CurrentUser, kSettingsKey)) {
        show(host,
             "RegCreateKeyEx(HKEY_CURRENT_USER, \"" + toUtf8(kSettingsKey) + "\") failed (" + registry.folder() + ")",
             "TM Error Install_Init", TW_MB_OK | TW_MB_ICONERROR);
    }
    const std::string caption = std::string("Tallowmere\xC2\xAE Pro") + " " + "2006";
    const std::string year = std::string(kBuildDate).substr(7, 4);
    const std::uint32_t language = uiLanguage(host);
    const std::string welcome = formatText(text(kEnglishBase + kWelcome, language), {caption, versionText(), year});
    const int answer = show(host, welcome, text(kCaption, language), TW_MB_OKCANCEL | TW_MB_ICONINFORMATION);
    return answer == TW_IDCANCEL ? 1 : 0;
}

TW_SETUP_EXPORT int Install_Exit(TwSetupHost* host, const char* installFolder, std::uint16_t, std::uint16_t,
                                 std::uint16_t, std::uint16_t, std::uint16_t) {
    IniRegistry registry = openRegistry(host);
    bool created = false;
    const bool open = registry.createKey(RegistryRoot::CurrentUser, kSettingsKey, &created);
    if (!open)
        show(host, "RegCreateKeyEx failed (" + registry.folder() + ")", "TM error test", TW_MB_OK | TW_MB_ICONERROR);
    if (open) {
        if (const auto clean = registry.readDword(RegistryRoot::CurrentUser, kSettingsKey, kClean)) {
            registry.writeDword(RegistryRoot::CurrentUser, kSettingsKey, kClean2, *clean);
            registry.flush();
        }
    }
    std::uint32_t language = 0;
    if (installFolder && *installFolder) {
        const std::vector<LanguageFile> files = languageFiles(installFolder);
        // The package owns the language files: the others stay installed, and the program loads
        // the chosen one by "LangPref".
        if (!files.empty()) language = chooseLanguage(host, files);
    }
    if (language != 0 && open) {
        if (registry.writeDword(RegistryRoot::CurrentUser, kSettingsKey, kLangPref, language)) registry.flush();
    }
    nameSamples(host, registry, language ? language : uiLanguage(host));
    return 0;
}

TW_SETUP_EXPORT int Uninstall_Init(TwSetupHost* host, const char*) {
    closeRunningProgram(host);
    IniRegistry registry = openRegistry(host);
    // A removal starts afresh, even when the library stayed loaded since an earlier one.
    g_silentClean = false;
    readCleanFlag(registry);
    return 0;
}

TW_SETUP_EXPORT int Uninstall_Exit(TwSetupHost* host) {
    IniRegistry registry = openRegistry(host);
    if (!g_silentClean) readCleanFlag(registry);
    const std::uint32_t language = uiLanguage(host);
    const std::string product = text(kProductName, language);
    bool remove = g_silentClean;
    if (!remove) {
        const std::string question =
            formatText(text(kEnglishBase + kRemoveQuestion, language), {product, versionText(), product});
        remove = show(host, question, text(kCaption, language), TW_MB_YESNO | TW_MB_ICONQUESTION) == TW_IDYES;
    }
    if (remove) {
        registry.deleteKey(RegistryRoot::CurrentUser, kSettingsKey);
        if (registry.subKeys(RegistryRoot::CurrentUser, kMakerKey).empty())
            registry.deleteKey(RegistryRoot::CurrentUser, kMakerKey);
        registry.flush();
    }
    if (g_silentClean) return 0;
    show(host, formatText(text(kEnglishBase + kFarewell, language), {product}), text(kCaption, language),
         TW_MB_OK | TW_MB_ICONINFORMATION);
    return 0;
}
