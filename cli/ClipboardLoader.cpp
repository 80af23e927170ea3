#include "cli/ClipboardLoader.h"

#include <dlfcn.h>

#include "platform/LanguageModule.h"

namespace tw::cli {
namespace {

std::string& moduleFolder() {
    static std::string folder;
    return folder;
}

}  // namespace

void setClipboardModuleFolder(std::string folder) {
    moduleFolder() = std::move(folder);
}

const TwClipboardModule* loadClipboardModule(std::string* error) {
    const std::string folder = moduleFolder().empty() ? programFolder() : moduleFolder();
    const std::string path = folder + "/" + kTwClipboardFile;
    // Never unloaded: Qt keeps threads and handlers of its own once it has run.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = ::dlerror();
        *error = "the clipboard module " + path + " cannot be loaded" + (why ? std::string(" (") + why + ")" : "");
        return nullptr;
    }
    using Entry = const TwClipboardModule* (*)();
    const auto entry = reinterpret_cast<Entry>(::dlsym(handle, kTwClipboardEntry));
    const TwClipboardModule* module = entry ? entry() : nullptr;
    if (module == nullptr || module->version != kTwClipboardVersion) {
        *error = "the clipboard module " + path + " does not belong to this tmpro";
        return nullptr;
    }
    return module;
}

}  // namespace tw::cli
