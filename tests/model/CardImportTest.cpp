#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/CardImport.h"
#include "platform/MemoryFile.h"
#include "platform/Text.h"

namespace tw {
namespace {

std::vector<std::uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

std::vector<std::uint8_t> utf16(const std::string& utf8, bool bigEndian) {
    std::vector<std::uint8_t> out =
        bigEndian ? std::vector<std::uint8_t>{0xFE, 0xFF} : std::vector<std::uint8_t>{0xFF, 0xFE};
    for (char16_t c : fromUtf8(utf8)) {
        const auto lo = static_cast<std::uint8_t>(c);
        const auto hi = static_cast<std::uint8_t>(c >> 8);
        out.push_back(bigEndian ? hi : lo);
        out.push_back(bigEndian ? lo : hi);
    }
    return out;
}

std::vector<std::uint8_t> windows1252(const std::string& utf8) {
    return bytesOf(toWindows1252(fromUtf8(utf8)));
}

StringTable strings() {
    StringTable t;
    t.load({{20001, u"Info"},
            {20500, u"Error"},
            {20504, u"Import"},
            {20518, u"Card"},
            {22041, u"Imported"},
            {22070, u"Cannot read the file"},
            {22071, u"Not a card table"},
            {22072, u"Import this card?"},
            {22073, u"(%d more columns)"},
            {22074, u"Import the remaining %d cards?"},
            {22075, u"%d cards imported"}});
    return t;
}

// Keeps what an import hands over, as text: "name: field=value, ..." per card.
class RecordingSink final : public ImportSink {
public:
    void beginFolder(const std::u16string& name) override { folders.push_back(toUtf8(name)); }
    void addCard(const ImportedCard& card) override {
        std::string line = toUtf8(card.name) + ":";
        for (const ImportedField& f : card.fields) line += " " + toUtf8(f.name) + "=" + toUtf8(f.value);
        cards.push_back(line);
    }
    std::vector<std::string> folders;
    std::vector<std::string> cards;
};

struct ImportRun {
    std::size_t count;
    RecordingSink sink;
    ScriptedPrompt prompt;
};

ImportRun importBytes(const std::vector<std::uint8_t>& bytes, std::deque<Answer> answers = {},
                      bool offerCancel = true) {
    MemoryFileSystem files;
    files.setBytes("table.txt", bytes);
    ImportRun run{0, {}, ScriptedPrompt(std::move(answers))};
    run.count = importCards(files, "table.txt", strings(), run.prompt, run.sink, {u"24/12/2024", offerCancel});
    return run;
}

std::vector<std::string> texts(const ScriptedPrompt& prompt) {
    std::vector<std::string> out;
    for (const Message& m : prompt.shown) out.push_back(toUtf8(m.text));
    return out;
}

TEST(ImportTable, EveryEncodingOfOneTableGivesTheSameCards) {
    const std::string table = "CardName\tUser\tNote\r\nBank\tJosé\t€ 5\r\nMail\t\"quoted\"\t\r\n";
    std::vector<std::uint8_t> utf8Marked = {0xEF, 0xBB, 0xBF};
    for (char c : table) utf8Marked.push_back(static_cast<std::uint8_t>(c));
    const std::pair<const char*, std::vector<std::uint8_t>> twins[] = {
        {"UTF-16LE", utf16(table, false)}, {"UTF-16BE", utf16(table, true)},     {"UTF-8", bytesOf(table)},
        {"UTF-8 with mark", utf8Marked},   {"Windows-1252", windows1252(table)},
    };
    for (const auto& [what, bytes] : twins) {
        const ImportRun run = importBytes(bytes);
        EXPECT_EQ(run.count, 2u) << what;
        EXPECT_EQ(run.sink.folders, std::vector<std::string>{"Imported 24/12/2024"}) << what;
        EXPECT_EQ(run.sink.cards, (std::vector<std::string>{"Bank: User=José Note=€ 5", "Mail: User=quoted Note="}))
            << what;
        EXPECT_EQ(texts(run.prompt).back(), "2 cards imported") << what;
        EXPECT_EQ(run.prompt.shown.back().caption, u"Info") << what;
    }
}

TEST(ImportTable, BytesThatAreNotUtf8AreWindows1252) {
    // An encoded surrogate is no UTF-8, so the whole table is read in the 8-bit code page.
    const std::string bytes = "CardName\tUser\r\nBank\t\xED\xA0\x80";
    const ImportTable table = ImportTable::decode(bytesOf(bytes));
    EXPECT_EQ(table.cell(1, 1), u"\u00ED\u00A0\u20AC");
}

TEST(ImportTable, CellsAreNumberedThroughTheFile) {
    struct Case {
        const char* what;
        std::string text;
        std::size_t rows, columns;
        std::vector<std::string> cells;  // row by row
    };
    const Case cases[] = {
        {"regular", "a\tb\r\nc\td", 2, 2, {"a", "b", "c", "d"}},
        {"a short row shifts the next",
         "a\tb\tc\r\n1\t2\r\n3\t4\t5",
         3,
         3,
         {"a", "b", "c", "1", "2", "3", "4", "5", ""}},
        {"cells past rows x columns are ignored", "a\tb\r\n1\t2\t3\t4\t5", 2, 2, {"a", "b", "1", "2"}},
        {"line end at the end gives an empty last row", "a\tb\r\n", 2, 2, {"a", "b", "", ""}},
        {"a lone CR ends a row", "a\tb\rc\td\r\ne\tf", 3, 2, {"a", "b", "c", "d", "e", "f"}},
        {"a bare LF in a table of CR LF rows stays in its cell",
         "a\tb\r\n\"x\ny\"\tz\r\nc\td",
         3,
         2,
         {"a", "b", "x\ny", "z", "c", "d"}},
        {"a text without CR ends its rows at LF", "a\tb\nc\td\ne\tf\n", 4, 2, {"a", "b", "c", "d", "e", "f", "", ""}},
        {"quotes: one at each end, each on its own, in cells not quoted as spreadsheets quote",
         "\"a\"\t\"\t\"\"\t\"x\"y\"\tb\"\t\"\"\"\t\"open",
         1,
         7,
         {"a", "", "", "x\"y", "b", "\"", "open"}},
        {"a cell quoted as spreadsheets write it holds TABs, line ends and doubled quotes",
         "CardName\tPass\r\n\"tab\there\"\t\"p@ss\"\"word\"\r\n\"multi\r\nline\"\t\"\"",
         3,
         2,
         {"CardName", "Pass", "tab\there", "p@ss\"word", "multi\r\nline", ""}},
        {"quoted line ends do not end the rows of a table with LF row ends",
         "a\t\"x\r\ny\"\nb\tc\n",
         3,
         2,
         {"a", "x\r\ny", "b", "c", "", ""}},
        {"the text ends at its first NUL", std::string("a\tb\r\nc\0\td", 10), 2, 2, {"a", "b", "c", ""}},
        {"empty", "", 1, 1, {""}},
    };
    for (const Case& c : cases) {
        const ImportTable table = ImportTable::decode(bytesOf(c.text));
        EXPECT_EQ(table.rows(), c.rows) << c.what;
        EXPECT_EQ(table.columns(), c.columns) << c.what;
        std::vector<std::string> cells;
        for (std::size_t r = 0; r < table.rows(); ++r)
            for (std::size_t col = 0; col < table.columns(); ++col) cells.push_back(toUtf8(table.cell(r, col)));
        EXPECT_EQ(cells, c.cells) << c.what;
    }
}

TEST(ImportTable, OddUtf16AndLoneSurrogatesAreKeptSafe) {
    // An odd byte count drops the half character; a lone surrogate stays a unit of the text.
    const ImportTable table =
        ImportTable::decode(std::vector<std::uint8_t>{0xFF, 0xFE, 'a', 0, 0x00, 0xD8, '\t', 0, 'b'});
    EXPECT_EQ(table.columns(), 2u);
    EXPECT_EQ(table.cell(0), std::u16string_view(u"a\xD800"));
    EXPECT_EQ(table.cell(1), u"");
}

TEST(CardImport, RefusesUnreadableAndBadTables) {
    const std::pair<const char*, std::string> bad[] = {
        {"header only, 2 columns", "CardName\tUser"}, {"header only, ending in a line end", "CardName\tUser\r\n"},
        {"one column", "CardName\r\nBank"},           {"wrong first header cell", "Name\tUser\r\nBank\tme"},
        {"no text at all", std::string(1, '\0')},
    };
    for (const auto& [what, text] : bad) {
        const ImportRun run = importBytes(bytesOf(text));
        EXPECT_EQ(run.count, 0u) << what;
        EXPECT_TRUE(run.sink.folders.empty() && run.sink.cards.empty()) << what;
        EXPECT_EQ(texts(run.prompt), std::vector<std::string>{"Not a card table"}) << what;
        EXPECT_EQ(run.prompt.shown.at(0).caption, u"Error") << what;
        EXPECT_EQ(run.prompt.shown.at(0).icon, Icon::Stop) << what;
    }

    MemoryFileSystem files;
    files.setBytes("empty.txt", {});
    for (const char* path : {"missing.txt", "empty.txt"}) {
        RecordingSink sink;
        ScriptedPrompt prompt;
        EXPECT_EQ(importCards(files, path, strings(), prompt, sink, {}), 0u) << path;
        EXPECT_EQ(texts(prompt), std::vector<std::string>{"Cannot read the file"}) << path;
        EXPECT_TRUE(sink.folders.empty() && sink.cards.empty()) << path;
    }
}

TEST(CardImport, AcceptsHeaderInQuotesOrAnyCase) {
    for (const char* header : {"\"CardName\"", "card name", "CARDNAME\""}) {
        const ImportRun run = importBytes(bytesOf(std::string(header) + "\tUser\r\nBank\tme\r\n"));
        EXPECT_EQ(run.sink.cards, std::vector<std::string>{"Bank: User=me"}) << header;
    }
}

TEST(CardImport, AsksRowByRowThenOffersTheRestOnce) {
    std::string table = "CardName\tUser";
    for (int i = 1; i <= 12; ++i) table += "\r\nc" + std::to_string(i) + "\tu";
    table += "\r\n";

    using A = Answer;
    struct Case {
        const char* what;
        std::deque<Answer> answers;
        std::vector<int> imported;  // row numbers
        std::size_t questions;      // previews and the "all the rest" question
    };
    const Case cases[] = {
        {"rest accepted at row 5", {A::Yes, A::No, A::Yes, A::Yes, A::Yes}, {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 5},
        {"rest declined: row by row to the end", {A::No, A::No, A::No, A::No, A::No}, {5, 6, 7, 8, 9, 10, 11, 12}, 13},
        {"cancel at the rest question", {A::Yes, A::Yes, A::Yes, A::Yes, A::Cancel}, {1, 2, 3, 4}, 5},
        {"cancel at row 7", {A::Yes, A::Yes, A::Yes, A::Yes, A::No, A::Yes, A::No, A::Cancel}, {1, 2, 3, 4, 5}, 8},
        {"cancel at once", {A::Cancel}, {}, 1},
    };
    for (const Case& c : cases) {
        const ImportRun run = importBytes(bytesOf(table), c.answers);
        std::vector<std::string> expected;
        for (int row : c.imported) expected.push_back("c" + std::to_string(row) + ": User=u");
        EXPECT_EQ(run.sink.cards, expected) << c.what;
        EXPECT_EQ(run.count, c.imported.size()) << c.what;
        EXPECT_EQ(run.sink.folders.size(), c.imported.empty() ? 0u : 1u) << c.what;

        const std::vector<std::string> shown = texts(run.prompt);
        const std::size_t asked = shown.size() - (c.imported.empty() ? 0 : 1);
        EXPECT_EQ(asked, c.questions) << c.what;
        if (c.questions >= 5) {
            EXPECT_EQ(shown[4], "Import the remaining 8 cards?") << c.what;
        }
        for (std::size_t i = 0; i < asked; ++i) {
            EXPECT_EQ(run.prompt.shown[i].buttons, Buttons::YesNoCancel) << c.what;
            EXPECT_EQ(run.prompt.shown[i].caption, u"Import") << c.what;
        }
        if (!c.imported.empty()) {
            EXPECT_EQ(shown.back(), std::to_string(c.imported.size()) + " cards imported") << c.what;
        }
    }
}

TEST(CardImport, NineRowsAreNeverOfferedAllAtOnce) {
    std::string table = "CardName\tUser";
    for (int i = 1; i <= 9; ++i) table += "\r\nc" + std::to_string(i) + "\tu";
    const ImportRun run = importBytes(bytesOf(table), {}, false);
    EXPECT_EQ(run.count, 9u);
    EXPECT_EQ(run.prompt.shown.size(), 10u);  // nine previews and the count
    EXPECT_EQ(run.prompt.shown[0].buttons, Buttons::YesNo);
}

TEST(CardImport, PreviewCutsLabelsValuesAndColumns) {
    const std::string longLabel(51, 'L');
    const std::string longValue(111, 'v');
    const std::string text = "CardName\t" + longLabel + "\tB\tC\tD\tE\tF\r\nBank\t" + longValue + "\tb\t\t\t\t\r\n";
    const ImportTable table = ImportTable::decode(bytesOf(text));
    const StringTable s = strings();
    EXPECT_EQ(toUtf8(importPreview(table, 1, s)), "Import this card?\n\nCard: Bank\n" + longLabel.substr(0, 50) +
                                                      "...: " + longValue.substr(0, 110) +
                                                      "...\nB: b\nC: \nD: \n(2 more columns)");

    StringTable verbose = strings();
    verbose.set(22072, std::u16string(3000, u'x'));
    EXPECT_EQ(importPreview(table, 1, verbose).size(), 2047u);
}

TEST(CardImport, CardsTakeAtMost255Fields) {
    std::string text = "CardName";
    for (int c = 1; c <= 300; ++c) text += "\tF" + std::to_string(c);
    text += "\r\nBank\tv1";
    const ImportedCard card = importedCard(ImportTable::decode(bytesOf(text)), 1);
    ASSERT_EQ(card.fields.size(), 255u);
    EXPECT_EQ(card.fields.front().value, u"v1");
    EXPECT_EQ(card.fields.back().name, u"F255");
    EXPECT_EQ(card.fields.back().value, u"");
}

TEST(CardImport, FolderNameJoinsPrefixAndDate) {
    EXPECT_EQ(importFolderName(strings(), u"1/2/2025"), u"Imported 1/2/2025");
    EXPECT_EQ(importFolderName(StringTable{}, u"1/2/2025"), u"* 1/2/2025");
}

TEST(CardImport, ColumnsHeadedAsPasswordsAreTold) {
    for (std::u16string_view header :
         {u"Password", u" PIN ", u"Passwort", u"Mot de passe", u"E-mail password", u"KENNWORT", u"Пароль", u"pwd"})
        EXPECT_TRUE(isPasswordHeader(header)) << toUtf8(header);
    for (std::u16string_view header : {u"User name", u"Pinboard", u"Spin class", u"Notes", u"", u"Passage"})
        EXPECT_FALSE(isPasswordHeader(header)) << toUtf8(header);
}

}  // namespace
}  // namespace tw
