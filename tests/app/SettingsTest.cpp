// The settings key: defaults, what each device kind reads and writes, damaged values, the run
// counter and the file types registered on the way.
#include <gtest/gtest.h>

#include "app/FileTypes.h"
#include "app/Settings.h"
#include "platform/MemoryRegistry.h"
#include "platform/SettingsKey.h"
#include "platform/Text.h"

namespace tw::app {
namespace {

constexpr RegistryRoot kHkcu = RegistryRoot::CurrentUser;
constexpr std::u16string_view kKey = kSettingsKey;

struct SettingsFixture : ::testing::Test {
    MemoryRegistry registry;
    Settings load(DeviceKind device, bool* registered = nullptr) {
        Settings s = Settings::defaults(device);
        loadSettings(s, registry, device, [&] {
            if (registered) *registered = true;
        });
        return s;
    }
    std::optional<std::uint32_t> dword(std::u16string_view name) { return registry.readDword(kHkcu, kKey, name); }
};

TEST_F(SettingsFixture, FirstStartKeepsDefaultsRegistersFileTypesAndCountsTheRunAtSave) {
    bool registered = false;
    Settings s = load(DeviceKind::PocketPC, &registered);
    EXPECT_TRUE(registered);
    EXPECT_TRUE(registry.openKey(kHkcu, kKey));
    EXPECT_EQ(dword(kSetupValue), 7u);
    EXPECT_EQ(s.fontMain, 9u);
    EXPECT_EQ(s.fontCardFieldNmStyle, 1u);
    EXPECT_EQ(s.colorBarStart, 0xFEECDDu);
    EXPECT_EQ(s.openLast, 1u);
    EXPECT_EQ(s.passNumeric, 0u);
    EXPECT_EQ(Settings::defaults(DeviceKind::Smartphone).passNumeric, 1u);
    EXPECT_EQ(s.keys, (std::array<std::uint32_t, 12>{0, 2, 0, 1, 0, 0, 0, 0, 0, 0, 6, 3}));

    saveSettings(s, registry, DeviceKind::PocketPC);
    EXPECT_EQ(dword(kRunCountValue), 1u);
    EXPECT_EQ(dword(u"Version"), 654u);
    // Values the program never writes.
    for (const char16_t* name : {u"Color.BarStart", u"Pass.AutoOK", u"ExitMenu", u"LangPref"})
        EXPECT_FALSE(dword(name)) << toUtf8(name);
}

TEST_F(SettingsFixture, StoredValuesWinAndDamagedOnesKeepTheirDefault) {
    registry.createKey(kHkcu, kKey);
    registry.writeDword(kHkcu, kKey, u"FontMain", 12);
    registry.writeDword(kHkcu, kKey, u"Color.BarEnd", 0x123456);
    registry.writeDword(kHkcu, kKey, u"LangPref", 0x407);
    registry.writeString(kHkcu, kKey, u"MRU", u"/home/u/w.tm5");
    registry.writeString(kHkcu, kKey, u"FontCard", u"12");         // wrong type
    registry.writeBinary(kHkcu, kKey, u"OpenLast", {1, 0, 0, 0});  // wrong type
    registry.writeDword(kHkcu, kKey, u"MRU2", 5);                  // not ours
    const Settings s = load(DeviceKind::PocketPC);
    EXPECT_EQ(s.fontMain, 12u);
    EXPECT_EQ(s.colorBarEnd, 0x123456u);
    EXPECT_EQ(s.langPref, 0x407u);
    EXPECT_EQ(s.mru, u"/home/u/w.tm5");
    EXPECT_EQ(s.fontCard, 9u);
    EXPECT_EQ(s.openLast, 1u);
}

TEST_F(SettingsFixture, DeviceKindValuesAreReadAndWrittenOnlyOnTheirKind) {
    registry.createKey(kHkcu, kKey);
    registry.writeDword(kHkcu, kKey, u"Pass.Numeric", 0);
    registry.writeDword(kHkcu, kKey, u"Menus.Expanded", 1);
    std::vector<std::uint8_t> keys(48, 0);
    keys[4 * 5] = 9;
    registry.writeBinary(kHkcu, kKey, u"Keys", keys);

    Settings pocket = load(DeviceKind::PocketPC);
    EXPECT_EQ(pocket.menusExpanded, 1u);
    EXPECT_EQ(pocket.passNumeric, 0u);
    EXPECT_EQ(pocket.keys[5], 0u);
    Settings phone = load(DeviceKind::Smartphone);
    EXPECT_EQ(phone.menusExpanded, 0u);
    EXPECT_EQ(phone.passNumeric, 0u);
    EXPECT_EQ(phone.keys[5], 9u);
    EXPECT_EQ(phone.keys[1], 0u);  // the stored value replaces the defaults

    // A "Keys" value of another length is damaged: the defaults stay.
    registry.writeBinary(kHkcu, kKey, u"Keys", std::vector<std::uint8_t>(47, 1));
    EXPECT_EQ(load(DeviceKind::Smartphone).keys[1], 2u);

    registry.deleteValue(kHkcu, kKey, u"Menus.Expanded");
    registry.deleteValue(kHkcu, kKey, u"Pass.Numeric");
    registry.deleteValue(kHkcu, kKey, u"Keys");
    saveSettings(pocket, registry, DeviceKind::PocketPC);
    EXPECT_EQ(dword(u"Menus.Expanded"), 1u);
    EXPECT_FALSE(dword(u"Pass.Numeric"));
    EXPECT_FALSE(registry.readBinary(kHkcu, kKey, u"Keys"));
    registry.deleteValue(kHkcu, kKey, u"Menus.Expanded");
    phone.passNumeric = 1;
    setKeyAction(phone, 0x78, 4);
    saveSettings(phone, registry, DeviceKind::Smartphone);
    EXPECT_FALSE(dword(u"Menus.Expanded"));
    EXPECT_EQ(dword(u"Pass.Numeric"), 1u);
    const auto stored = registry.readBinary(kHkcu, kKey, u"Keys");
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->size(), 48u);
    EXPECT_EQ((*stored)[4 * 11], 4);
    EXPECT_EQ((*stored)[4 * 5], 9);
}

TEST_F(SettingsFixture, AnOverlongLastWalletIsRefusedNeverCut) {
    registry.createKey(kHkcu, kKey);
    const std::u16string longPath = u"/" + std::u16string(kMaxPath, u'a');
    registry.writeString(kHkcu, kKey, u"MRU", longPath);
    EXPECT_EQ(load(DeviceKind::PocketPC).mru, u"");
    const std::u16string fits(kMaxPath, u'b');
    registry.writeString(kHkcu, kKey, u"MRU", fits);
    EXPECT_EQ(load(DeviceKind::PocketPC).mru, fits);

    Settings s = Settings::defaults(DeviceKind::PocketPC);
    s.mru = longPath;
    saveSettings(s, registry, DeviceKind::PocketPC);
    EXPECT_EQ(registry.readString(kHkcu, kKey, u"MRU"), u"");
}

TEST_F(SettingsFixture, ResetRestoresDefaultsButTheLanguage) {
    Settings s = Settings::defaults(DeviceKind::PocketPC);
    s.fontMain = 16;
    s.mru = u"/w.tm5";
    s.info = 1;
    s.runCount = 40;
    s.langPref = 0x407;
    resetSettings(s, DeviceKind::PocketPC);
    saveSettings(s, registry, DeviceKind::PocketPC);
    EXPECT_EQ(dword(u"FontMain"), 9u);
    EXPECT_EQ(registry.readString(kHkcu, kKey, u"MRU"), u"");
    EXPECT_EQ(dword(kRunCountValue), 1u);
    EXPECT_EQ(s.langPref, 0x407u);
}

TEST(FileTypesTest, OpenCommandsQuoteTheProgramPath) {
    MemoryRegistry registry;
    registry.createKey(RegistryRoot::ClassesRoot, u"TallowmereProDocument\\Shell\\Open\\Command");
    registry.writeString(RegistryRoot::ClassesRoot, u"TallowmereProDocument", u"Other", u"kept");
    registerFileTypes(registry, u"/opt/my programs/halvotmpro2006");
    auto text = [&](std::u16string_view key) {
        return toUtf8(registry.readString(RegistryRoot::ClassesRoot, key, u"").value_or(u"<missing>"));
    };
    EXPECT_EQ(text(u".tm5"), "TallowmereProDocument");
    EXPECT_EQ(text(u"TallowmereProDocument"), "Tallowmere Pro Wallet");
    EXPECT_EQ(text(u"TallowmereProDocument\\DefaultIcon"), "/opt/my programs/halvotmpro2006,-201");
    EXPECT_EQ(text(u"TallowmereProDocument\\Shell\\Open\\Command"), "\"/opt/my programs/halvotmpro2006\" %1");
    EXPECT_EQ(text(u".tmx"), "TallowmereProForm");
    EXPECT_EQ(text(u"TallowmereProForm\\DefaultIcon"), "/opt/my programs/halvotmpro2006,-203");
    EXPECT_EQ(text(u"TallowmereProForm\\Shell\\Open\\Command"), "\"/opt/my programs/halvotmpro2006\" %1");
    EXPECT_EQ(registry.readString(RegistryRoot::ClassesRoot, u"TallowmereProDocument", u"Other"), u"kept");
}

TEST(FontsTest, SizeSettingsPickTheirSlot) {
    struct Case {
        std::uint32_t size;
        bool bold;
        double desktop;
        std::size_t slot;
    };
    const Case cases[] = {
        {1, false, 10, 25}, {7, true, 10, 26},  {8, false, 10, 0}, {9, true, 10, 7},    {12, false, 10, 4},
        {13, true, 10, 11}, {99, false, 10, 5}, {0, false, 10, 2}, {0, true, 16.4, 11}, {0, false, 0, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fontSlotFor(c.size, c.bold, c.desktop), c.slot) << c.size << (c.bold ? " bold" : "");
    EXPECT_EQ(fontSlotSpec(7)->points, 9);
    EXPECT_EQ(fontSlotSpec(7)->weight, 700);
    EXPECT_TRUE(fontSlotSpec(24)->underline);
    EXPECT_FALSE(fontSlotSpec(28));
    EXPECT_EQ(fontPixelHeight(8, 96), 11);
    EXPECT_EQ(fontPixelHeight(9, 96), 12);
    EXPECT_EQ(noteZoomPoints(0), 8);
    EXPECT_EQ(noteZoomPoints(2), 11);
    EXPECT_EQ(noteZoomPoints(4), 16);
    EXPECT_EQ(noteZoomPoints(9), 9);
    EXPECT_FALSE(keySlot(0x41));
}

}  // namespace
}  // namespace tw::app
