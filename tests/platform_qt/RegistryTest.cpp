// One table of behaviour for both registries: the in-memory double and the INI-file registry.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/IniRegistry.h"
#include "platform/MemoryRegistry.h"
#include "platform/Text.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
constexpr auto HKCU = RegistryRoot::CurrentUser;
constexpr auto HKCR = RegistryRoot::ClassesRoot;
constexpr char16_t kKey[] = u"SOFTWARE\\Halvorsgarden\\Tallowmere Pro 5";

// A fresh private XDG_CONFIG_HOME for every test, so the INI registry never sees real user files.
class ConfigHome {
public:
    ConfigHome() {
        m_dir =
            fs::temp_directory_path() / ("tw-registry-" + std::to_string(::getpid()) + "-" + std::to_string(++s_count));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) m_old = old;
        ::setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
    }
    ~ConfigHome() {
        if (m_old)
            ::setenv("XDG_CONFIG_HOME", m_old->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    const fs::path& dir() const { return m_dir; }

private:
    static inline int s_count = 0;
    fs::path m_dir;
    std::optional<std::string> m_old;
};

struct RegistryKind {
    const char* name;
    std::function<std::unique_ptr<Registry>()> make;
    // Replaces the registry by a new instance over the same storage (the memory double keeps its one).
    std::function<void(std::unique_ptr<Registry>&)> reopen;
};

// Test names and failure messages show the kind by its name.
void PrintTo(const RegistryKind& kind, std::ostream* out) {
    *out << kind.name;
}

const RegistryKind kKinds[] = {
    {"Memory", [] { return std::make_unique<MemoryRegistry>(); }, [](std::unique_ptr<Registry>&) {}},
    {"Ini", [] { return std::make_unique<IniRegistry>(); },
     [](std::unique_ptr<Registry>& r) {
         r.reset();
         r = std::make_unique<IniRegistry>();
     }},
};

class RegistryTest : public ::testing::TestWithParam<RegistryKind> {
protected:
    void SetUp() override { reg = GetParam().make(); }
    void reopen() { GetParam().reopen(reg); }

    ConfigHome home;
    std::unique_ptr<Registry> reg;
};

std::vector<std::uint8_t> bytesUpTo(int n) {
    std::vector<std::uint8_t> v;
    for (int i = 0; i < n; ++i) v.push_back(static_cast<std::uint8_t>(i * 37));
    return v;
}

TEST_P(RegistryTest, typedValues_roundTripAcrossInstances) {
    const struct {
        std::u16string name;
        RegistryValue value;
    } cases[] = {
        {u"", RegistryValue::ofString(u"TallowmereProDocument")},
        {u"Count6", RegistryValue::ofDword(0)},
        {u"Version", RegistryValue::ofDword(654)},
        {u"Color.BarStart", RegistryValue::ofDword(0xFFFFFFFFu)},
        {u"MRU", RegistryValue::ofString(u"/home/u/Documents/My Sample Wallet.tm5")},
        {u"Empty", RegistryValue::ofString(u"")},
        {u"Tricky", RegistryValue::ofString(u"  a, b; c=d #e \"q\" \\ % @x\ttab\r\nline  ")},
        {u"Unicode", RegistryValue::ofString(u"Ünïcödé € \U0001F600 Мой")},
        {u"Raw", RegistryValue::ofString(std::u16string(u"nul\0in\x01side\xD800", 13))},
        {u"Keys", RegistryValue::ofBinary(bytesUpTo(48))},
        {u"NoBytes", RegistryValue::ofBinary({})},
        {u"a/b\\c%41@=", RegistryValue::ofDword(7)},
        {u"@", RegistryValue::ofDword(8)},
        {u"Ärger", RegistryValue::ofDword(9)},
    };
    ASSERT_TRUE(reg->createKey(HKCU, kKey));
    for (const auto& c : cases) EXPECT_TRUE(reg->writeValue(HKCU, kKey, c.name, c.value)) << toUtf8(c.name);
    reopen();
    for (const auto& c : cases) {
        const auto read = reg->readValue(HKCU, kKey, c.name);
        ASSERT_TRUE(read.has_value()) << toUtf8(c.name);
        EXPECT_EQ(*read, c.value) << toUtf8(c.name);
    }
    EXPECT_EQ(reg->valueNames(HKCU, kKey).size(), std::size(cases));
}

TEST_P(RegistryTest, namesIgnoreCase_andKeepFirstSpelling) {
    bool created = false;
    ASSERT_TRUE(reg->createKey(HKCU, kKey, &created));
    EXPECT_TRUE(created);
    ASSERT_TRUE(reg->createKey(HKCU, u"software\\HALVORSGARDEN\\tallowmere pro 5", &created));
    EXPECT_FALSE(created);
    EXPECT_TRUE(reg->openKey(HKCU, u"Software\\Halvorsgarden\\TALLOWMERE PRO 5"));
    EXPECT_EQ(reg->subKeys(HKCU, u"SOFTWARE"), std::vector<std::u16string>{u"Halvorsgarden"});

    ASSERT_TRUE(reg->writeDword(HKCU, kKey, u"LangPref", 0x0407));
    ASSERT_TRUE(reg->writeString(HKCU, kKey, u"LANGPREF", u"text now"));
    reopen();
    EXPECT_EQ(reg->valueNames(HKCU, kKey), std::vector<std::u16string>{u"LangPref"});
    EXPECT_EQ(reg->readString(HKCU, kKey, u"langpref"), u"text now");
    EXPECT_FALSE(reg->readDword(HKCU, kKey, u"LangPref").has_value()) << "a value of another type reads as missing";
}

TEST_P(RegistryTest, deleteKey_removesSubKeysAndValues) {
    ASSERT_TRUE(reg->createKey(HKCU, u"A\\B\\C"));
    ASSERT_TRUE(reg->createKey(HKCU, u"A\\B2"));
    ASSERT_TRUE(reg->writeDword(HKCU, u"A", u"keep", 1));
    ASSERT_TRUE(reg->writeDword(HKCU, u"A\\B", u"gone", 2));
    ASSERT_TRUE(reg->writeDword(HKCU, u"A\\B\\C", u"gone", 3));

    EXPECT_TRUE(reg->deleteKey(HKCU, u"a\\b"));
    reopen();
    EXPECT_FALSE(reg->openKey(HKCU, u"A\\B"));
    EXPECT_FALSE(reg->openKey(HKCU, u"A\\B\\C"));
    EXPECT_FALSE(reg->readDword(HKCU, u"A\\B\\C", u"gone").has_value());
    EXPECT_EQ(reg->readDword(HKCU, u"A", u"keep"), 1u);
    EXPECT_EQ(reg->subKeys(HKCU, u"A"), std::vector<std::u16string>{u"B2"});

    EXPECT_FALSE(reg->deleteKey(HKCU, u"A\\B")) << "already gone";
    EXPECT_FALSE(reg->deleteKey(HKCU, u"")) << "the root stays";
    EXPECT_TRUE(reg->deleteKey(HKCU, u"A\\B2"));
    EXPECT_TRUE(reg->subKeys(HKCU, u"A").empty());
}

TEST_P(RegistryTest, emptyKeysAndDeletedValues_persist) {
    ASSERT_TRUE(reg->createKey(HKCR, u".tm5"));
    ASSERT_TRUE(reg->createKey(HKCR, u"TallowmereProDocument\\Shell\\Open\\Command"));
    ASSERT_TRUE(reg->writeString(HKCR, u".tm5", u"", u"TallowmereProDocument"));
    ASSERT_TRUE(reg->writeDword(HKCR, u".tm5", u"extra", 1));
    EXPECT_TRUE(reg->deleteValue(HKCR, u".tm5", u"EXTRA"));
    EXPECT_FALSE(reg->deleteValue(HKCR, u".tm5", u"extra"));
    reopen();
    EXPECT_TRUE(reg->openKey(HKCR, u"TallowmereProDocument\\Shell\\Open\\Command"));
    EXPECT_EQ(reg->valueNames(HKCR, u".tm5"), std::vector<std::u16string>{u""});
    EXPECT_FALSE(reg->openKey(HKCU, u".tm5")) << "the hives are separate";
}

TEST_P(RegistryTest, enumerations_sortedWithoutRegardToCase) {
    for (const char16_t* name : {u"gamma", u"Alpha", u"beta"})
        ASSERT_TRUE(reg->createKey(HKCU, std::u16string(u"K\\") + name));
    for (const char16_t* name : {u"z", u"", u"Y"}) ASSERT_TRUE(reg->writeDword(HKCU, u"K", name, 0));
    reopen();
    EXPECT_EQ(reg->subKeys(HKCU, u"K"), (std::vector<std::u16string>{u"Alpha", u"beta", u"gamma"}));
    EXPECT_EQ(reg->valueNames(HKCU, u"K"), (std::vector<std::u16string>{u"", u"Y", u"z"}));
    EXPECT_TRUE(reg->subKeys(HKCU, u"Missing").empty());
}

TEST_P(RegistryTest, refusedRequests_failSilentlyAndChangeNothing) {
    const std::u16string tooLongName(kRegistryMaxKeyName + 1, u'x');
    for (const std::u16string& path :
         {std::u16string(u"\\A"), std::u16string(u"A\\"), std::u16string(u"A\\\\B"), tooLongName}) {
        EXPECT_FALSE(reg->createKey(HKCU, path)) << toUtf8(path);
        EXPECT_FALSE(reg->openKey(HKCU, path)) << toUtf8(path);
        EXPECT_FALSE(reg->deleteKey(HKCU, path)) << toUtf8(path);
    }
    EXPECT_FALSE(reg->writeDword(HKCU, u"Missing", u"v", 1)) << "values need an existing key";
    ASSERT_TRUE(reg->createKey(HKCU, u"K"));
    EXPECT_FALSE(reg->writeValue(HKCU, u"K", u"none", RegistryValue{}));
    EXPECT_FALSE(reg->writeBinary(HKCU, u"K", u"big", std::vector<std::uint8_t>(kRegistryMaxData + 1)));
    EXPECT_FALSE(reg->readValue(HKCU, u"K", u"missing").has_value());
    reopen();
    EXPECT_EQ(reg->subKeys(HKCU, u""), std::vector<std::u16string>{u"K"});
    EXPECT_TRUE(reg->valueNames(HKCU, u"K").empty());
}

INSTANTIATE_TEST_SUITE_P(Both, RegistryTest, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

// What only the stored registry has: files, their layout, and other writers.

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(IniRegistryTest, storesTaggedValuesUnderConfigHome) {
    ConfigHome home;
    IniRegistry reg;
    EXPECT_EQ(fs::path(reg.folder()), home.dir() / "halvorsgarden");
    ASSERT_TRUE(reg.createKey(HKCU, kKey));
    ASSERT_TRUE(reg.writeDword(HKCU, kKey, u"LangPref", 0x0407));
    ASSERT_TRUE(reg.writeString(HKCU, kKey, u"MRU", u"/w.tm5"));
    ASSERT_TRUE(reg.writeBinary(HKCU, kKey, u"Keys", {0x0a, 0xff}));
    const std::string text = readAll(home.dir() / "halvorsgarden" / "registry-hkcu.ini");
    EXPECT_NE(text.find("LangPref=dword:00000407"), std::string::npos) << text;
    EXPECT_NE(text.find("MRU=sz:/w.tm5"), std::string::npos) << text;
    EXPECT_NE(text.find("Keys=hex:0aff"), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(home.dir() / "halvorsgarden" / "registry-hkcr.ini"));
}

TEST(IniRegistryTest, handWrittenFile_readsAndDamagedValuesReadAsMissing) {
    ConfigHome home;
    fs::create_directories(home.dir() / "halvorsgarden");
    std::ofstream(home.dir() / "halvorsgarden" / "registry-hkcu.ini")
        << "[SOFTWARE]\n"
           "Halvorsgarden\\Tallowmere%20Pro%205\\LangPref=dword:00000407\n"
           "Halvorsgarden\\Tallowmere%20Pro%205\\Count6=dword:nothex\n"
           "Halvorsgarden\\Tallowmere%20Pro%205\\Keys=hex:abc\n"
           "Halvorsgarden\\Tallowmere%20Pro%205\\Info=17\n"
           "Halvorsgarden\\Tallowmere%20Pro%205\\Big=dword:123456789\n";
    IniRegistry reg;
    EXPECT_TRUE(reg.openKey(HKCU, kKey)) << "a key with values exists without its marker";
    EXPECT_EQ(reg.readDword(HKCU, kKey, u"LangPref"), 0x0407u);
    for (const char16_t* name : {u"Count6", u"Keys", u"Info", u"Big"}) {
        EXPECT_FALSE(reg.readValue(HKCU, kKey, name).has_value()) << toUtf8(name);
    }
}

TEST(IniRegistryTest, secondInstance_seesChangesOfTheFirst) {
    ConfigHome home;
    IniRegistry first;
    IniRegistry second;
    ASSERT_TRUE(first.createKey(HKCU, kKey));
    ASSERT_TRUE(first.writeDword(HKCU, kKey, u"LangPref", 0x040c));
    EXPECT_EQ(second.readDword(HKCU, kKey, u"LangPref"), 0x040cu);
    ASSERT_TRUE(second.deleteKey(HKCU, kKey));
    EXPECT_FALSE(first.openKey(HKCU, kKey));
}

TEST(IniRegistryTest, unusableFolder_failsSilently) {
    ConfigHome home;
    std::ofstream(home.dir() / "afile") << "x";
    IniRegistry reg((home.dir() / "afile" / "below").string());
    EXPECT_FALSE(reg.createKey(HKCU, u"K"));
    EXPECT_FALSE(reg.flush());
}

}  // namespace
}  // namespace tw
