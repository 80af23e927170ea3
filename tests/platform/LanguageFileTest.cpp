#include <gtest/gtest.h>

#include <random>

#include "platform/LanguageFile.h"
#include "platform/MemoryFile.h"
#include "platform/Text.h"

namespace tw {
namespace {

std::vector<std::uint8_t> bytesOf(std::string_view s) {
    return {s.begin(), s.end()};
}

TEST(LanguageText, escapesRoundTrip) {
    const struct {
        std::u16string text;
        std::string escaped;
    } cases[] = {
        {u"", ""},
        {u"Plain # text %s", "Plain # text %s"},
        {u"a\tb\nc\r\nd\\e", "a\\tb\\nc\\r\\nd\\\\e"},
        {u"\\n is not a line break", "\\\\n is not a line break"},
        {u"Grüße € \U0001F600", "Grüße € \U0001F600"},
        {u"  spaces kept  ", "  spaces kept  "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(escapeLanguageText(c.text), c.escaped);
        EXPECT_EQ(unescapeLanguageText(c.escaped), c.text) << c.escaped;
    }
}

TEST(LanguageSource, acceptsCommentsBlankLinesCrLfAndBom) {
    const auto parsed = parseLanguageSource(
        "\xEF\xBB\xBF# heading\r\n"
        "\r\n"
        "   \t \n"
        "20001\tTallowmere Pro\r\n"
        "00042\t\n"
        "#20002\tcommented out\n"
        "65535\tlast id\\tline\\n2");  // no final line feed
    EXPECT_TRUE(parsed.ok()) << parsed.issues.front().message;
    EXPECT_EQ(parsed.texts, (std::map<std::uint32_t, std::u16string>{
                                {42, u""}, {20001, u"Tallowmere Pro"}, {65535, u"last id\tline\n2"}}));
}

TEST(LanguageSource, reportsEachBadLineWithItsNumber) {
    // Line 1 is good; each case is put on line 2.
    const struct {
        std::string line;
        std::string message;
    } cases[] = {
        {"20001 no tab", "expected <id><TAB><text>"},
        {"\ttext without id", "bad string id"},
        {"2000a\ttext", "bad string id"},
        {"-1\ttext", "bad string id"},
        {"65536\ttext", "bad string id"},
        {"123456\ttext", "bad string id"},
        {" 20001\ttext", "bad string id"},
        {"20002\tsplit\there", "raw TAB"},
        {"20002\tbell\x07", "control character"},
        {"20002\tunknown \\q escape", "unknown escape \\q"},
        {"20002\tends in \\", "backslash at end"},
        {"20002\tbad \xC3\x28 utf-8", "not valid UTF-8"},
        {"20002\tan encoded surrogate \xED\xA0\x80", "not valid UTF-8"},
        {"20002\t" + std::string(kLanguageTextMaxUnits + 1, 'x'), "text longer than"},
        {"20002\t" + std::string(kLanguageLineMaxBytes, 'x'), "line longer than"},
        {"20001\tagain", "duplicate id 20001 (first on line 1)"},
    };
    for (const auto& c : cases) {
        const auto parsed = parseLanguageSource("20001\tfirst\n" + c.line + "\n20003\tafter\n");
        ASSERT_EQ(parsed.issues.size(), 1u) << c.line.substr(0, 40);
        EXPECT_EQ(parsed.issues[0].line, 2u);
        EXPECT_NE(parsed.issues[0].message.find(c.message), std::string::npos) << parsed.issues[0].message;
        EXPECT_EQ(parsed.texts.at(20001), u"first") << "the first of a duplicate stays";
        EXPECT_EQ(parsed.texts.count(20003), 1u) << "parsing goes on after a bad line";
    }
}

TEST(LanguageSource, stopsAfterTooManyFaults) {
    std::string junk;
    for (int i = 0; i < 1000; ++i) junk += "junk\n";
    EXPECT_EQ(parseLanguageSource(junk).issues.size(), kLanguageMaxIssues);
}

TEST(LanguageModule, writtenModuleParsesBack) {
    const std::map<std::uint32_t, std::u16string> texts = {{1, u"a\\b"}, {20001, u"Tallowmere Pro"}, {65535, u"x\ny"}};
    const std::string bytes = writeLanguageModule(0x0c0a, texts);
    EXPECT_EQ(bytes.substr(0, bytes.find('\n')), "HALVOTMPRO-LANGUAGE\t1\t0c0a");
    const auto parsed = parseLanguageModule(bytes);
    EXPECT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.language, 0x0c0a);
    EXPECT_EQ(parsed.texts, texts);
}

TEST(LanguageModule, refusesWrongHeaders) {
    for (const std::string bytes :
         {"", "20001\tno header\n", "HALVOTMPRO-LANGUAGE\t2\t0409\n", "HALVOTMPRO-LANGUAGE\t1\t409\n",
          "HALVOTMPRO-LANGUAGE\t1\t04g9\n", "HALVOTMPRO-LANGUAGE 1 0409\n", "halvotmpro-language\t1\t0409\n"}) {
        const auto parsed = parseLanguageModule(bytes + "20001\ttext\n");
        ASSERT_FALSE(parsed.ok()) << bytes;
        EXPECT_LE(parsed.issues[0].line, 1u);
        EXPECT_TRUE(parsed.texts.empty()) << "nothing is read past a bad header";
    }
}

class LanguageLoadTest : public ::testing::Test {
protected:
    LanguageLoad load(const std::string& path) { return loadLanguageModuleFile(fs, path, table, &language, &issues); }

    MemoryFileSystem fs;
    StringTable table;
    std::uint16_t language = 0;
    std::vector<LanguageIssue> issues;
};

TEST_F(LanguageLoadTest, goodModuleReplacesTheTable) {
    table.set(7, u"old");
    fs.setBytes("m.mui", bytesOf(writeLanguageModule(0x0407, {{20001, u"Tallowmere Pro"}})));
    ASSERT_EQ(load("m.mui"), LanguageLoad::Loaded);
    EXPECT_EQ(language, 0x0407);
    EXPECT_EQ(table.text(20001), u"Tallowmere Pro");
    EXPECT_EQ(table.text(7), u"?");
}

TEST_F(LanguageLoadTest, faultyFilesLeaveTheTableAsItWas) {
    const std::string good = writeLanguageModule(0x0409, {{1, u"one"}});
    const struct {
        std::string name;
        std::optional<std::string> bytes;
        LanguageLoad expected;
    } cases[] = {
        {"missing", std::nullopt, LanguageLoad::Missing},
        {"header", std::string("1\tone\n"), LanguageLoad::NotModule},
        {"line", good + "2\tok\nbroken\n", LanguageLoad::Damaged},
        {"huge", std::string(kLanguageFileMaxBytes + 1, '#'), LanguageLoad::TooLarge},
    };
    for (const auto& c : cases) {
        if (c.bytes) fs.setBytes(c.name, bytesOf(*c.bytes));
        EXPECT_EQ(load(c.name), c.expected) << c.name;
        EXPECT_FALSE(table.loaded()) << c.name;
    }
    fs.setBytes("line", bytesOf(good + "2\tok\nbroken\n"));
    load("line");
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_EQ(issues[0].line, 4u);

    fs.setBytes("good", bytesOf(good));
    fs.faults().failReadAt = fs.faults().reads + 1;
    EXPECT_EQ(load("good"), LanguageLoad::Unreadable);
    EXPECT_FALSE(table.loaded());
}

// Damaged copies of a real module must never crash the reader or be half-loaded.
TEST(LanguageModule, mutatedModulesNeverCrash) {
    std::map<std::uint32_t, std::u16string> texts;
    for (std::uint32_t id = 20000; id < 20040; ++id) texts[id] = u"Text \u00e4 %s \\ " + fromUtf8(std::to_string(id));
    const std::string good = writeLanguageModule(0x0409, texts);
    std::mt19937 random(1234);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = good;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = random() % bytes.size();
            switch (random() % 3) {
                case 0:
                    bytes[at] = static_cast<char>(random());
                    break;
                case 1:
                    bytes.erase(at, 1 + random() % 8);
                    break;
                default:
                    bytes.insert(at, 1, static_cast<char>(random() % 4 == 0 ? '\t' : random()));
            }
            if (bytes.empty()) bytes = "x";
        }
        const auto parsed = parseLanguageModule(bytes);
        EXPECT_LE(parsed.issues.size(), kLanguageMaxIssues);
        for (const auto& [id, text] : parsed.texts) ASSERT_LE(text.size(), kLanguageTextMaxUnits);
    }
}

}  // namespace
}  // namespace tw
