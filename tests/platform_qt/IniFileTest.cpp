// The INI files of the registry, read and written without Qt, against QSettings, which wrote them
// in earlier versions and still reads them: each side reads exactly what the other wrote.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/IniFile.h"
#include "platform/IniRegistry.h"
#include "platform/Text.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

class TempFolder {
public:
    TempFolder()
        : m_dir(fs::temp_directory_path() /
                ("tw-ini-" + std::to_string(::getpid()) + "-" + std::to_string(++s_count))) {
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    std::string file(const char* name) const { return (m_dir / name).string(); }
    QString qfile(const char* name) const { return QString::fromStdString(file(name)); }

private:
    static inline int s_count = 0;
    fs::path m_dir;
};

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

QString q(std::u16string_view s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

// Keys (QSettings' '/'-separated names) and texts that need QSettings' escapes and quoting.
struct Case {
    const char16_t* key;
    const char16_t* text;
};
const Case kCases[] = {
    {u"SOFTWARE/Halvorsgarden/Tallowmere Pro 5/%", u""},
    {u"SOFTWARE/Halvorsgarden/Tallowmere Pro 5/LangPref", u"dword:00000407"},
    {u"SOFTWARE/Halvorsgarden/Tallowmere Pro 5/MRU", u"sz:/home/u/Documents/w.tm5"},
    {u"SOFTWARE/a%2Fb/%40", u"sz:slash and default"},
    {u"Top", u"in [General]"},
    {u"General/x", u"a section named like the general one"},
    {u"S/quotes", u"sz:say \"hi\" \\ back\\slash"},
    {u"S/separators", u"sz:a,b;c=d"},
    {u"S/blanks", u"sz:  two leading, trailing  "},
    {u"S/lead", u" leading"},
    {u"S/breaks", u"sz:line one\nline two\r\n\ttabbed"},
    {u"S/controls",
     u"sz:\x01"
     u"1\x1f"
     u"f\x7f"},
    {u"S/at", u"@not a variant"},
    {u"S/atat", u"@@two"},
    {u"S/nul", u"before\0after"},
    {u"S/unicode", u"sz:\u00e9t\u00e9 \u4e2d\u6587 \U0001F510"},
    {u"S/\u00e9 key \u4e2d%", u"key escapes"},
    {u"S/semi;colon=equals", u"key with separators"},
    {u"Deep/a/b/c/d", u"nested"},
};

std::u16string textOf(const Case& c) {
    // The table's one text with a NUL is written with an explicit length.
    if (std::u16string_view(c.key) == u"S/nul") return std::u16string(u"before\0after", 12);
    return c.text;
}

TEST(IniFileTest, readsWhatQSettingsWrote) {
    TempFolder folder;
    {
        QSettings s(folder.qfile("q.ini"), QSettings::IniFormat);
        for (const Case& c : kCases) s.setValue(q(c.key), q(textOf(c)));
        s.setValue(QStringLiteral("Types/bytes"), QByteArray("raw \xc3\xa9 bytes"));
        s.setValue(QStringLiteral("Types/number"), 17);
        s.setValue(QStringLiteral("Types/list"), QStringList{QStringLiteral("a"), QStringLiteral("b")});
        s.sync();
        ASSERT_EQ(s.status(), QSettings::NoError);
    }
    const std::string bytes = readAll(folder.file("q.ini"));
    const IniEntries entries = parseIniFile(bytes);
    for (const Case& c : kCases) {
        const auto it = entries.find(c.key);
        ASSERT_NE(it, entries.end()) << toUtf8(c.key) << "\n" << bytes;
        EXPECT_EQ(it->second.text, textOf(c)) << toUtf8(c.key) << "\n" << bytes;
    }
    EXPECT_EQ(entries.at(u"Types/bytes").text, u"raw \u00e9 bytes");
    EXPECT_EQ(entries.at(u"Types/number").text, u"17");
    EXPECT_EQ(entries.at(u"Types/list").text, std::nullopt) << "a list is no text";
    EXPECT_EQ(entries.size(), std::size(kCases) + 3);
}

TEST(IniFileTest, qsettingsReadsWhatWasWritten) {
    TempFolder folder;
    IniEntries entries;
    for (const Case& c : kCases) entries[c.key] = IniValue{textOf(c), {}};
    entries[u"Kept/list"] = IniValue{std::nullopt, "a, b"};
    const std::string bytes = writeIniFile(entries);
    std::ofstream(folder.file("w.ini"), std::ios::binary) << bytes;

    QSettings s(folder.qfile("w.ini"), QSettings::IniFormat);
    ASSERT_EQ(s.status(), QSettings::NoError) << bytes;
    for (const Case& c : kCases)
        EXPECT_EQ(s.value(q(c.key)).toString(), q(textOf(c))) << toUtf8(c.key) << "\n" << bytes;
    EXPECT_EQ(s.value(QStringLiteral("Kept/list")).toStringList(),
              (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(s.allKeys().size(), static_cast<qsizetype>(entries.size())) << bytes;
    // And the file reads back the same without Qt.
    EXPECT_EQ(parseIniFile(bytes), entries);
}

// Files edited by hand read as QSettings reads them.
TEST(IniFileTest, handWrittenFile_readsAsQSettingsReadsIt) {
    TempFolder folder;
    const std::string bytes =
        "\xEF\xBB\xBF; a comment\n"
        "top = plain text ; a comment after it\n"
        "\n"
        "[Sec%20tion]\n"
        "  spaced\\key  =   \"  quoted, kept  \"  \n"
        "long=first \\\n"
        "  second\n"
        "escapes=\\101\\x42C\\q\\x\n"
        "unicode=\xc3\xa9t\xc3\xa9\n"
        "noequals\n"
        "[%General]\n"
        "g=1\n"
        "[Sec%20tion]\n"
        "again=\"a\"b\"c\"\n";
    std::ofstream(folder.file("h.ini"), std::ios::binary) << bytes;
    const IniEntries entries = parseIniFile(bytes);
    QSettings s(folder.qfile("h.ini"), QSettings::IniFormat);
    const QStringList keys = s.allKeys();
    EXPECT_EQ(static_cast<std::size_t>(keys.size()), entries.size());
    for (const QString& key : keys) {
        const auto it = entries.find(key.toStdU16String());
        ASSERT_NE(it, entries.end()) << key.toStdString();
        EXPECT_EQ(q(it->second.text.value_or(u"(none)")), s.value(key).toString()) << key.toStdString();
    }
}

// The registry over a file an earlier version wrote through QSettings, and the other way round.
TEST(IniFileTest, registryAndQSettingsShareTheirFiles) {
    TempFolder folder;
    const std::u16string key = u"SOFTWARE\\Halvorsgarden\\Tallowmere Pro 5";
    {
        QSettings s(folder.qfile("registry-hkcu.ini"), QSettings::IniFormat);
        s.setValue(QStringLiteral("SOFTWARE/%"), QString());
        s.setValue(QStringLiteral("SOFTWARE/Halvorsgarden/%"), QString());
        s.setValue(QStringLiteral("SOFTWARE/Halvorsgarden/Tallowmere Pro 5/%"), QString());
        s.setValue(QStringLiteral("SOFTWARE/Halvorsgarden/Tallowmere Pro 5/LangPref"),
                   QStringLiteral("dword:00000407"));
        s.setValue(QStringLiteral("SOFTWARE/Halvorsgarden/Tallowmere Pro 5/MRU1"), QStringLiteral("sz:/a, b; c.tm5"));
        s.setValue(QStringLiteral("SOFTWARE/Halvorsgarden/Tallowmere Pro 5/Keys"), QStringLiteral("hex:0aff"));
    }
    IniRegistry reg(folder.file(""));
    EXPECT_EQ(reg.readDword(RegistryRoot::CurrentUser, key, u"LangPref"), 0x0407u);
    EXPECT_EQ(reg.readString(RegistryRoot::CurrentUser, key, u"mru1"), u"/a, b; c.tm5");
    EXPECT_EQ(reg.readBinary(RegistryRoot::CurrentUser, key, u"Keys"), (std::vector<std::uint8_t>{0x0a, 0xff}));
    ASSERT_TRUE(reg.writeString(RegistryRoot::CurrentUser, key, u"Note", u"\"quoted\"\nnext line"));
    ASSERT_TRUE(reg.createKey(RegistryRoot::CurrentUser, key + u"\\Sub/Key"));

    QSettings s(folder.qfile("registry-hkcu.ini"), QSettings::IniFormat);
    EXPECT_EQ(s.value(QStringLiteral("SOFTWARE/Halvorsgarden/Tallowmere Pro 5/Note")).toString(),
              QStringLiteral("sz:\"quoted\"\nnext line"));
    EXPECT_EQ(s.value(QStringLiteral("SOFTWARE/Halvorsgarden/Tallowmere Pro 5/MRU1")).toString(),
              QStringLiteral("sz:/a, b; c.tm5"));
    EXPECT_TRUE(s.contains(QStringLiteral("SOFTWARE/Halvorsgarden/Tallowmere Pro 5/Sub%2FKey/%")));
    EXPECT_EQ(s.allKeys().size(), 8);
}

}  // namespace
}  // namespace tw
