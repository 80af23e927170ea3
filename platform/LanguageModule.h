#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/File.h"
#include "platform/Prompt.h"
#include "platform/Registry.h"
#include "platform/StringTable.h"
#include "platform/UiLanguage.h"

namespace tw {

// Language files are named after the device program: "halvotmpro2006.exe.%04x.mui", the
// language id in four lower-case hex digits.
inline constexpr char kLanguageModuleBase[] = "halvotmpro2006.exe";
std::string languageModuleName(std::uint16_t language);

// Shown when no language file can be loaded, before any text can come from one.
inline constexpr char16_t kLanguageFailureText[] = u"Failed to load resources.  Please re-install.";
inline constexpr char16_t kLanguageFailureCaption[] = u"Tallowmere Pro 2006";

// The names of the files in one folder.
class FolderLister {
public:
    virtual ~FolderLister() = default;
    // Names (not paths) of the entries of `folder`; empty when it cannot be read.
    virtual std::vector<std::string> list(const std::string& folder) = 0;
};

class PosixFolderLister final : public FolderLister {
public:
    std::vector<std::string> list(const std::string& folder) override;
};

// Where and in which order language files are looked for.
struct LanguageSearch {
    std::uint32_t langPref = 0;        // the "LangPref" setting; 0 = none
    std::uint16_t uiLanguage = 0;      // the user-interface language; 0 = unknown
    std::vector<std::string> folders;  // searched in order for every name (the program's folder first)
    std::string programFolder;         // the last resort: any language file found there
};

// The language ids to try, in order, each once: "LangPref" when it is a language id, then the
// user-interface language, then 1033 (English).
std::vector<std::uint16_t> languageCandidates(std::uint32_t langPref, std::uint16_t uiLanguage);

// The last resort: the first name, in sorted order, among `names` that matches
// "halvotmpro2006.exe.????.mui" (case-insensitively); empty when none does.
std::string firstLanguageFileName(std::vector<std::string> names);

struct LanguageModuleResult {
    bool loaded = false;
    std::string path;            // the file loaded; empty when the table was already loaded
    std::uint16_t language = 0;  // from the file's header
};

// Loads the language file into `table`: nothing to do when the table is already loaded; else
// each candidate name of languageCandidates() in each folder of the search, in that order, then
// the first language file in the program's folder. A file that is missing, too large or damaged
// is passed over. When none loads, `prompt` (optional) shows kLanguageFailureText with the stop
// icon and the result says not loaded.
LanguageModuleResult loadLanguageModule(FileSystem& files, FolderLister& lister, const LanguageSearch& search,
                                        StringTable& table, Prompt* prompt);

// The "LangPref" value of the settings key; 0 when missing or not a DWORD.
std::uint32_t readLangPref(Registry& registry);

// The folder of the running program, from /proc/self/exe; empty when it cannot be read.
std::string programFolder();

// The search the programs use: "LangPref" from the registry, the user-interface language, and
// the program's folder.
LanguageSearch defaultLanguageSearch(Registry& registry, UiLanguage& ui);

}  // namespace tw
