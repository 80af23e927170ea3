#include "platform/LanguageModule.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "platform/LanguageFile.h"
#include "platform/SettingsKey.h"

namespace tw {

namespace {

constexpr std::uint16_t kEnglish = 1033;

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// "halvotmpro2006.exe" + ".????.mui", any four characters, compared without regard to case.
bool matchesLanguagePattern(const std::string& name) {
    const std::string base = std::string(kLanguageModuleBase) + ".";
    const std::string suffix = ".mui";
    if (name.size() != base.size() + 4 + suffix.size()) return false;
    for (std::size_t i = 0; i < base.size(); ++i) {
        if (lower(name[i]) != base[i]) return false;
    }
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (lower(name[base.size() + 4 + i]) != suffix[i]) return false;
    }
    return true;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool tryLoad(FileSystem& files, const std::string& path, StringTable& table, LanguageModuleResult* result) {
    std::uint16_t language = 0;
    if (loadLanguageModuleFile(files, path, table, &language) != LanguageLoad::Loaded) return false;
    *result = {true, path, language};
    return true;
}

}  // namespace

std::string languageModuleName(std::uint16_t language) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04x", static_cast<unsigned>(language));
    return std::string(kLanguageModuleBase) + "." + hex + ".mui";
}

std::vector<std::string> PosixFolderLister::list(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    // A folder is listed only to find a handful of language files; a bound keeps a huge one cheap.
    constexpr std::size_t kMaxEntries = 100000;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
        if (names.size() >= kMaxEntries) break;
    }
    ::closedir(dir);
    return names;
}

std::vector<std::uint16_t> languageCandidates(std::uint32_t langPref, std::uint16_t uiLanguage) {
    std::vector<std::uint16_t> ids;
    const auto add = [&ids](std::uint32_t id) {
        if (id == 0 || id > 0xFFFF) return;
        if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(static_cast<std::uint16_t>(id));
    };
    add(langPref);
    add(uiLanguage);
    add(kEnglish);
    return ids;
}

std::string firstLanguageFileName(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    for (const auto& name : names) {
        if (matchesLanguagePattern(name)) return name;
    }
    return {};
}

LanguageModuleResult loadLanguageModule(FileSystem& files, FolderLister& lister, const LanguageSearch& search,
                                        StringTable& table, Prompt* prompt) {
    LanguageModuleResult result;
    if (table.loaded()) {
        result.loaded = true;
        return result;
    }
    for (const std::uint16_t id : languageCandidates(search.langPref, search.uiLanguage)) {
        for (const auto& folder : search.folders) {
            if (tryLoad(files, joinPath(folder, languageModuleName(id)), table, &result)) return result;
        }
    }
    const std::string last = firstLanguageFileName(lister.list(search.programFolder));
    if (!last.empty() && tryLoad(files, joinPath(search.programFolder, last), table, &result)) return result;
    if (prompt) prompt->tell(kLanguageFailureText, kLanguageFailureCaption, Icon::Stop);
    return result;
}

std::uint32_t readLangPref(Registry& registry) {
    return registry.readDword(RegistryRoot::CurrentUser, kSettingsKey, kLangPrefValue).value_or(0);
}

std::string programFolder() {
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= path.size()) return {};
    path.resize(static_cast<std::size_t>(n));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string{} : path.substr(0, slash == 0 ? 1 : slash);
}

LanguageSearch defaultLanguageSearch(Registry& registry, UiLanguage& ui) {
    LanguageSearch search;
    search.langPref = readLangPref(registry);
    search.uiLanguage = ui.languageId();
    search.programFolder = programFolder();
    search.folders = {search.programFolder};
    return search;
}

}  // namespace tw
