// Checks the language source tables in resources/lang against each other and against the ids
// the program shows.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "platform/LanguageFile.h"
#include "platform/MenuKeywords.h"
#include "platform/Text.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

struct Language {
    std::string folder;
    std::map<std::uint32_t, std::u16string> texts;
    bool hasForms = false;
};

// Every language folder, its source files combined; faults fail the test.
std::vector<Language> readLanguages() {
    std::vector<Language> languages;
    for (const auto& dir : fs::directory_iterator(fs::path(TW_SOURCE_DIR) / "resources" / "lang")) {
        if (!dir.is_directory()) continue;
        Language language{dir.path().filename().string(), {}, false};
        for (const auto& file : fs::directory_iterator(dir.path())) {
            if (file.path().extension() != ".txt") continue;
            std::ifstream in(file.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), {});
            const auto parsed = parseLanguageSource(bytes);
            for (const auto& issue : parsed.issues)
                ADD_FAILURE() << file.path() << ":" << issue.line << ": " << issue.message;
            for (const auto& [id, text] : parsed.texts) {
                EXPECT_TRUE(language.texts.emplace(id, text).second) << file.path() << ": id " << id << " given twice";
            }
            language.hasForms |= file.path().filename() == "forms.txt";
        }
        languages.push_back(std::move(language));
    }
    return languages;
}

// The printf placeholders of a text in order, as the text formatter reads them ("%s", "%02d").
std::vector<std::u16string> placeholders(std::u16string_view text) {
    std::vector<std::u16string> found;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'%') continue;
        if (text[i + 1] == u'%') {
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < text.size() && ((text[j] >= u'0' && text[j] <= u'9') || text[j] == u'l' || text[j] == u'h')) ++j;
        if (j < text.size() && std::u16string_view(u"sduxi").find(text[j]) != std::u16string_view::npos) {
            found.emplace_back(text.substr(i, j - i + 1));
            i = j;
        }
    }
    return found;
}

using Range = std::pair<std::uint32_t, std::uint32_t>;

// Every string id the wallet program shows, from every part of the program.
const Range kRequired[] = {
    {20000, 20001}, {20100, 20100}, {20200, 20203}, {20500, 20500}, {20503, 20505}, {20507, 20508}, {20510, 20510},
    {20513, 20513}, {20516, 20516}, {20518, 20521}, {20580, 20580}, {20704, 20704}, {20717, 20717}, {20719, 20719},
    {20725, 20727}, {20753, 20753}, {20850, 20852}, {20854, 20854}, {20856, 20856}, {20900, 20906}, {22000, 22007},
    {22010, 22015}, {22017, 22020}, {22022, 22022}, {22025, 22029}, {22040, 22041}, {22070, 22075}, {22110, 22115},
    {22120, 22120}, {22122, 22123}, {22130, 22131}, {22135, 22138}, {22142, 22147}, {22149, 22150}, {22155, 22155},
    {22164, 22173}, {23001, 23002}, {23007, 23007}, {23010, 23017}, {24003, 24004}, {24006, 24006}, {24516, 24516},
    {25001, 25002}, {25004, 25004}, {25015, 25015}, {25017, 25017}, {25030, 25030}, {25900, 25900}, {26000, 26011},
    {26015, 26016}, {27003, 27004}, {27006, 27007}, {28000, 28006}, {28100, 28107}, {28110, 28119}, {28200, 28206},
    {28300, 28307}, {28400, 28404}, {28500, 28510}, {28600, 28603}, {28700, 28706}, {28720, 28724}, {28900, 28901},
    {62700, 62715}, {62867, 62869},
};
// Kept in forms.txt with the built-in forms: the yes/no words, the new card's name, the field
// kinds and the card name caption.
const Range kRequiredWithForms[] = {
    {20204, 20205}, {20509, 20509}, {24500, 24502}, {24504, 24513}, {24515, 24515}, {30002, 30002},
};

class LanguageTables : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_languages = new std::vector<Language>(readLanguages()); }
    static void TearDownTestSuite() {
        delete s_languages;
        s_languages = nullptr;
    }
    static const Language& english() {
        for (const auto& l : *s_languages) {
            if (l.folder == "0409") return l;
        }
        throw std::runtime_error("no English table");
    }
    static inline std::vector<Language>* s_languages = nullptr;
};

TEST_F(LanguageTables, englishAndGermanArePresent) {
    std::set<std::string> folders;
    for (const auto& l : *s_languages) folders.insert(l.folder);
    EXPECT_TRUE(folders.count("0409"));
    EXPECT_TRUE(folders.count("0407"));
}

TEST_F(LanguageTables, everyLanguageHasTheSameIdsAndPlaceholders) {
    const Language& en = english();
    for (const auto& other : *s_languages) {
        for (const auto& [id, text] : en.texts) {
            const auto it = other.texts.find(id);
            if (it == other.texts.end()) {
                ADD_FAILURE() << other.folder << " lacks id " << id;
                continue;
            }
            EXPECT_EQ(placeholders(it->second), placeholders(text)) << other.folder << " id " << id;
        }
        for (const auto& [id, text] : other.texts) {
            EXPECT_TRUE(en.texts.count(id)) << other.folder << " has id " << id << " that English lacks";
        }
    }
}

TEST_F(LanguageTables, everyShownIdHasAText) {
    for (const auto& language : *s_languages) {
        std::vector<Range> ranges(std::begin(kRequired), std::end(kRequired));
        if (language.hasForms)
            ranges.insert(ranges.end(), std::begin(kRequiredWithForms), std::end(kRequiredWithForms));
        for (const auto& [first, last] : ranges) {
            for (std::uint32_t id = first; id <= last; ++id) {
                const auto it = language.texts.find(id);
                EXPECT_TRUE(it != language.texts.end() && !it->second.empty()) << language.folder << " id " << id;
            }
        }
        for (const auto& entry : menuKeywords()) {
            EXPECT_TRUE(language.texts.count(entry.id)) << language.folder << " menu keyword " << toUtf8(entry.keyword);
        }
    }
}

TEST_F(LanguageTables, placeholdersOfKnownFormattedTexts) {
    // Texts the program formats with arguments: their placeholders are part of the contract.
    const std::map<std::uint32_t, std::vector<std::u16string>> expected = {
        {22004, {u"%d", u"%d"}},
        {22011, {u"%s"}},
        {22013, {u"%s", u"%s"}},
        {22019, {u"%s"}},
        {22020, {u"%s", u"%s"}},
        {22022, {u"%s"}},
        {22040, {u"%s"}},
        {22073, {u"%d"}},
        {22074, {u"%d"}},
        {22075, {u"%d"}},
        {22143, {u"%s"}},
        {22144, {u"%s"}},
        {22145, {u"%s"}},
        {22150, {u"%s"}},
        {22164, {u"%s"}},
        {22166, {u"%d", u"%s"}},
        {22167, {u"%s"}},
        {22168, {u"%s"}},
        {22169, {u"%s"}},
        {22172, {u"%s", u"%s"}},
        {22173, {u"%s"}},
        {28205, {u"%s", u"%s"}},
        {28705, {u"%d"}},
        {62867, {u"%s"}},
        {22165, {}},
        {22001, {}},
        {22003, {}},
        {23016, {}},
        {26009, {}},
    };
    for (const auto& [id, want] : expected) EXPECT_EQ(placeholders(english().texts.at(id)), want) << id;
}

TEST(MenuKeywordTable, keywordsAndIdsAreUnique) {
    std::set<std::u16string> keywords;
    std::set<std::uint32_t> ids;
    for (const auto& entry : menuKeywords()) {
        EXPECT_TRUE(keywords.insert(foldCase(entry.keyword)).second) << toUtf8(entry.keyword);
        EXPECT_TRUE(ids.insert(entry.id).second) << entry.id;
        for (const char16_t c : entry.keyword) EXPECT_FALSE(c >= u'a' && c <= u'z') << toUtf8(entry.keyword);
    }
}

TEST(MenuKeywordTable, captionsAreLookedUpWithoutRegardToCase) {
    EXPECT_EQ(menuKeywordId(u"NEW CARD"), 21002u);
    EXPECT_EQ(menuKeywordId(u"Delete Field"), 21072u);
    EXPECT_EQ(menuKeywordId(u"export form"), 21031u);
    EXPECT_FALSE(menuKeywordId(u"NEW  CARD").has_value());
    EXPECT_FALSE(menuKeywordId(u"").has_value());

    StringTable strings;
    EXPECT_EQ(localizeMenuCaption(strings, u"NEW CARD"), u"*") << "no language loaded yet";
    strings.set(21002, u"Neue Karte");
    EXPECT_EQ(localizeMenuCaption(strings, u"new card"), u"Neue Karte");
    EXPECT_EQ(localizeMenuCaption(strings, u"DONE"), u"?") << "a keyword without a text";
    EXPECT_EQ(localizeMenuCaption(strings, u"75%"), u"75%") << "other captions stay as written";
}

}  // namespace
}  // namespace tw
