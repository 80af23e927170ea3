#include <gtest/gtest.h>

#include <map>

#include "platform/LanguageFile.h"
#include "platform/LanguageModule.h"
#include "platform/MemoryFile.h"
#include "platform/MemoryRegistry.h"
#include "platform/PosixFile.h"
#include "platform/SettingsKey.h"

namespace tw {
namespace {

class FakeLister final : public FolderLister {
public:
    std::vector<std::string> list(const std::string& folder) override { return folders[folder]; }
    std::map<std::string, std::vector<std::string>> folders;
};

TEST(LanguageCandidates, preferenceThenInterfaceLanguageThenEnglish) {
    const struct {
        std::uint32_t langPref;
        std::uint16_t ui;
        std::vector<std::uint16_t> expected;
    } cases[] = {
        {0, 0, {0x0409}},
        {0, 0x0407, {0x0407, 0x0409}},
        {0x0407, 0x040c, {0x0407, 0x040c, 0x0409}},
        {0x0407, 0x0407, {0x0407, 0x0409}},
        {0x0409, 0x0407, {0x0409, 0x0407}},
        {0x10407, 0x0413, {0x0413, 0x0409}},  // not a language id: no file can carry that name
    };
    for (const auto& c : cases) EXPECT_EQ(languageCandidates(c.langPref, c.ui), c.expected) << std::hex << c.langPref;
}

TEST(LanguageCandidates, moduleNamesUseFourLowerCaseHexDigits) {
    EXPECT_EQ(languageModuleName(0x0c0a), "halvotmpro2006.exe.0c0a.mui");
    EXPECT_EQ(languageModuleName(0x7), "halvotmpro2006.exe.0007.mui");
}

TEST(LanguageCandidates, lastResortTakesTheFirstMatchingName) {
    EXPECT_EQ(firstLanguageFileName({"readme.txt", "halvotmpro2006.exe.0413.mui", "halvotmpro2006.exe.040c.mui"}),
              "halvotmpro2006.exe.040c.mui");
    EXPECT_EQ(firstLanguageFileName({"HALVOTMPRO2006.EXE.0407.MUI"}), "HALVOTMPRO2006.EXE.0407.MUI");
    EXPECT_EQ(firstLanguageFileName({"halvotmpro2006.exe.409.mui", "halvotmpro2006.exe.0409.mui.bak",
                                     "halvotmpro2006.exe.00409.mui", "tmpro.exe.0409.mui", "halvotmpro2006.0409.mui"}),
              "");
}

class LanguageSearchTest : public ::testing::Test {
protected:
    void put(const std::string& folder, const std::string& name, std::uint16_t language) {
        fs.setBytes(folder + "/" + name, bytes(writeLanguageModule(language, {{20000, u"lang"}})));
        lister.folders[folder].push_back(name);
    }
    static std::vector<std::uint8_t> bytes(const std::string& s) { return {s.begin(), s.end()}; }
    LanguageModuleResult run() { return loadLanguageModule(fs, lister, search, table, &prompt); }

    MemoryFileSystem fs;
    FakeLister lister;
    StringTable table;
    ScriptedPrompt prompt;
    LanguageSearch search{0, 0, {"/app"}, "/app"};
};

TEST_F(LanguageSearchTest, firstCandidatePresentWins) {
    const struct {
        std::uint32_t langPref;
        std::uint16_t ui;
        std::vector<std::uint16_t> present;
        std::string expected;
    } cases[] = {
        {0x0407, 0x040c, {0x0409, 0x040c, 0x0407}, "/app/halvotmpro2006.exe.0407.mui"},
        {0x0407, 0x040c, {0x0409, 0x040c}, "/app/halvotmpro2006.exe.040c.mui"},
        {0x0407, 0x040c, {0x0409, 0x0413}, "/app/halvotmpro2006.exe.0409.mui"},
        {0, 0x0407, {0x0409, 0x0407}, "/app/halvotmpro2006.exe.0407.mui"},
        // None of the three: the first language file in the program's folder.
        {0x0407, 0x040c, {0x0413, 0x0410}, "/app/halvotmpro2006.exe.0410.mui"},
    };
    for (const auto& c : cases) {
        fs = MemoryFileSystem();
        lister.folders.clear();
        table.unload();
        for (const auto id : c.present) put("/app", languageModuleName(id), id);
        search.langPref = c.langPref;
        search.uiLanguage = c.ui;
        const auto result = run();
        EXPECT_TRUE(result.loaded);
        EXPECT_EQ(result.path, c.expected);
        EXPECT_TRUE(table.loaded());
        EXPECT_TRUE(prompt.shown.empty());
    }
}

TEST_F(LanguageSearchTest, eachNameIsLookedForInEveryFolderBeforeTheNext) {
    search.folders = {"/app", "/usr/share/tw"};
    search.langPref = 0x0407;
    put("/app", languageModuleName(0x0409), 0x0409);
    put("/usr/share/tw", languageModuleName(0x0407), 0x0407);
    const auto result = run();
    EXPECT_EQ(result.path, "/usr/share/tw/halvotmpro2006.exe.0407.mui");
    EXPECT_EQ(result.language, 0x0407);
}

TEST_F(LanguageSearchTest, damagedFileIsPassedOver) {
    search.langPref = 0x0407;
    fs.setBytes("/app/" + languageModuleName(0x0407), bytes("HALVOTMPRO-LANGUAGE\t1\t0407\nbroken line\n"));
    lister.folders["/app"].push_back(languageModuleName(0x0407));
    put("/app", languageModuleName(0x0409), 0x0409);
    EXPECT_EQ(run().path, "/app/halvotmpro2006.exe.0409.mui");
}

TEST_F(LanguageSearchTest, nothingLoadable_tellsTheUserAndFails) {
    fs.setBytes("/app/" + languageModuleName(0x0409), bytes("not a language file"));
    lister.folders["/app"] = {languageModuleName(0x0409), "tmpro"};
    const auto result = run();
    EXPECT_FALSE(result.loaded);
    EXPECT_FALSE(table.loaded());
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, u"Failed to load resources.  Please re-install.");
    EXPECT_EQ(prompt.shown[0].caption, u"Tallowmere Pro 2006");
    EXPECT_EQ(prompt.shown[0].icon, Icon::Stop);
}

TEST_F(LanguageSearchTest, alreadyLoadedTable_isKept) {
    table.set(1, u"kept");
    const auto result = run();
    EXPECT_TRUE(result.loaded);
    EXPECT_TRUE(result.path.empty());
    EXPECT_EQ(table.text(1), u"kept");
}

TEST(LanguagePreference, readFromTheSettingsKey) {
    MemoryRegistry reg;
    EXPECT_EQ(readLangPref(reg), 0u) << "no key";
    ASSERT_TRUE(reg.createKey(RegistryRoot::CurrentUser, kSettingsKey));
    ASSERT_TRUE(reg.writeString(RegistryRoot::CurrentUser, kSettingsKey, kLangPrefValue, u"1031"));
    EXPECT_EQ(readLangPref(reg), 0u) << "not a DWORD";
    ASSERT_TRUE(reg.writeDword(RegistryRoot::CurrentUser, kSettingsKey, u"langpref", 0x0407));
    EXPECT_EQ(readLangPref(reg), 0x0407u);
}

TEST(UiLanguage, localeNamesMapToLanguageIds) {
    const struct {
        const char* locale;
        std::uint16_t id;
    } cases[] = {
        {"en_US.UTF-8", 0x0409},
        {"en_GB", 0x0809},
        {"en", 0x0409},
        {"de_DE.UTF-8@euro", 0x0407},
        {"de_AT", 0x0c07},
        {"de_XX", 0x0407},
        {"DE-ch", 0x0807},
        {"fr_FR", 0x040c},
        {"fr_CA", 0x0c0c},
        {"es_ES.UTF-8", 0x0c0a},
        {"it_IT", 0x0410},
        {"nl_BE", 0x0813},
        {"sv_SE", 0x041d},
        {"da_DK", 0x0406},
        {"nb_NO.UTF-8", 0x0414},
        {"fi_FI", 0x040b},
        {"pt_BR", 0x0416},
        {"pt_PT", 0x0816},
        {"ja_JP.eucJP", 0x0411},
        {"zh_CN.GB18030", 0x0804},
        {"zh_TW", 0x0404},
        {"C", 0},
        {"POSIX", 0},
        {"C.UTF-8", 0},
        {"", 0},
        {"xx_YY", 0},
        {"e1_US", 0},
        {"de_DE_extra", 0x0407},
    };
    for (const auto& c : cases) EXPECT_EQ(languageIdForLocale(c.locale), c.id) << c.locale;
}

TEST(UiLanguage, environmentPrecedence) {
    std::map<std::string, std::string> env;
    EnvironmentUiLanguage ui([&env](const char* name) -> const char* {
        const auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    });
    EXPECT_EQ(ui.languageId(), 0);
    env["LANG"] = "de_DE.UTF-8";
    EXPECT_EQ(ui.languageId(), 0x0407);
    env["LC_MESSAGES"] = "fr_FR.UTF-8";
    EXPECT_EQ(ui.languageId(), 0x040c);
    env["LC_ALL"] = "C";
    EXPECT_EQ(ui.languageId(), 0x040c) << "a locale without a language passes to the next";
    env["LC_ALL"] = "sv_SE";
    EXPECT_EQ(ui.languageId(), 0x041d);
}

// The language files the build placed next to the programs load through the real search.
TEST(BuiltLanguageFiles, loadFromTheProgramFolder) {
    PosixFileSystem files;
    PosixFolderLister lister;
    for (const auto& [langPref, caption] : {std::pair{0x0409u, u"Find"}, std::pair{0x0407u, u"Suchen"}}) {
        StringTable table;
        const LanguageSearch search{langPref, 0x0413, {TW_BINARY_DIR}, TW_BINARY_DIR};
        const auto result = loadLanguageModule(files, lister, search, table, nullptr);
        ASSERT_TRUE(result.loaded) << langPref;
        EXPECT_EQ(result.language, langPref);
        EXPECT_EQ(table.text(20001), u"Tallowmere Pro");
        EXPECT_EQ(table.text(21001), caption);
    }
}

}  // namespace
}  // namespace tw
