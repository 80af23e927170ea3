#include "setup/Driver.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "platform/IniRegistry.h"

namespace tw::setup {

namespace {

constexpr char16_t kSettingsKey[] = u"SOFTWARE\\Halvorsgarden\\Tallowmere Pro 5";
constexpr char kSamplesFolder[] = "Tallowmere Samples";
// Every name under which the extension renames or deletes a sample.
constexpr const char* kTouchedNames[] = {"Sample Wallet.tm5", "My Sample Wallet.tm5", "Form Sample.tmx",
                                         "Import Sample.txt"};

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

struct Library {
    void* handle = nullptr;
    TwInstallInit installInit = nullptr;
    TwInstallExit installExit = nullptr;
    TwUninstallInit uninstallInit = nullptr;
    TwUninstallExit uninstallExit = nullptr;

    explicit Library(const std::string& path) {
        handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) return;
        installInit = reinterpret_cast<TwInstallInit>(::dlsym(handle, "Install_Init"));
        installExit = reinterpret_cast<TwInstallExit>(::dlsym(handle, "Install_Exit"));
        uninstallInit = reinterpret_cast<TwUninstallInit>(::dlsym(handle, "Uninstall_Init"));
        uninstallExit = reinterpret_cast<TwUninstallExit>(::dlsym(handle, "Uninstall_Exit"));
    }
    ~Library() {
        if (handle) ::dlclose(handle);
    }
    bool complete() const { return installInit && installExit && uninstallInit && uninstallExit; }
};

// Copies one file; an existing target is left alone (it may hold the user's data by now).
void copyNew(const std::string& from, const std::string& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return;
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        ::close(in);
        return;
    }
    bool ok = true;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0) break;
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 || ::write(out, buffer, static_cast<std::size_t>(got)) != got) {
            ok = false;
            break;
        }
    }
    ok = ::fsync(out) == 0 && ok;
    ::close(in);
    if (::close(out) != 0 || !ok) ::unlink(to.c_str());
}

void setClean(const DriverOptions& options) {
    if (!options.clean) return;
    IniRegistry registry(options.host.registryFolder ? options.host.registryFolder : "");
    if (registry.createKey(RegistryRoot::CurrentUser, kSettingsKey))
        registry.writeDword(RegistryRoot::CurrentUser, kSettingsKey, u"Clean", 1);
}

}  // namespace

const std::vector<SampleFile>& sampleFiles() {
    static const std::vector<SampleFile> files = {
        {"Sample Wallet.tm5", "My Sample Wallet.tm5"},
        {"Form Sample.tmx", "Form Sample.tmx"},
        {"Import Sample.txt", "Import Sample.txt"},
    };
    return files;
}

DriverResult runInstall(const DriverOptions& options) {
    Library library(options.library);
    if (!library.complete()) return DriverResult::NoLibrary;
    TwSetupHost host = options.host;
    host.size = sizeof host;
    if (library.installInit(&host, 1, 0, options.installFolder.c_str()) != 0) return DriverResult::Cancelled;
    setClean(options);
    // Files of the names the extension renames or deletes that are there already are the user's
    // (a sample wallet may hold real data by now): they are moved aside while it works, so it
    // can touch only the copies placed here, and come back unchanged.
    std::vector<std::pair<std::string, std::string>> keptAside;
    if (host.documentsFolder && *host.documentsFolder && !options.samplesFolder.empty()) {
        const std::string documents = host.documentsFolder;
        ::mkdir(documents.c_str(), 0700);
        const std::string folder = documents + "/" + kSamplesFolder;
        ::mkdir(folder.c_str(), 0700);
        for (const char* name : kTouchedNames) {
            const std::string path = folder + "/" + name;
            const std::string aside = folder + "/.keep-" + name;
            if (exists(path) && !exists(aside) && ::rename(path.c_str(), aside.c_str()) == 0)
                keptAside.emplace_back(aside, path);
        }
        for (const SampleFile& file : sampleFiles()) {
            const std::string path = folder + "/" + file.installedName;
            const bool users =
                std::any_of(keptAside.begin(), keptAside.end(), [&](const auto& k) { return k.second == path; });
            if (!users) copyNew(options.samplesFolder + "/" + file.packageName, path);
        }
    }
    library.installExit(&host, options.installFolder.c_str(), 0, 0, 0, 0, 0);
    for (const auto& [aside, path] : keptAside) {
        // Back under its name; should a file of that name be there now, the user's keeps its
        // hidden name rather than replace it.
        if (::link(aside.c_str(), path.c_str()) == 0)
            ::unlink(aside.c_str());
        else if (errno != EEXIST && !exists(path))
            (void)::rename(aside.c_str(), path.c_str());
    }
    return DriverResult::Done;
}

DriverResult runUninstall(const DriverOptions& options) {
    Library library(options.library);
    if (!library.complete()) return DriverResult::NoLibrary;
    TwSetupHost host = options.host;
    host.size = sizeof host;
    setClean(options);
    library.uninstallInit(&host, options.installFolder.c_str());
    library.uninstallExit(&host);
    return DriverResult::Done;
}

}  // namespace tw::setup
