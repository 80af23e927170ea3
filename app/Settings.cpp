#include "app/Settings.h"

#include <cmath>
#include <string_view>

#include "platform/SettingsKey.h"

namespace tw::app {

namespace {

constexpr RegistryRoot kRoot = RegistryRoot::CurrentUser;
constexpr std::u16string_view kKey = kSettingsKey;

// The "Keys" value: 12 little-endian 32-bit action numbers.
constexpr std::size_t kKeysBytes = 48;
constexpr std::array<std::uint32_t, 12> kDefaultKeys{0, 2, 0, 1, 0, 0, 0, 0, 0, 0, 6, 3};

// The DWORD values every device kind loads, in the order they are read.
struct DwordValue {
    const char16_t* name;
    std::uint32_t Settings::*field;
};
constexpr DwordValue kLoadedDwords[] = {
    {kRunCountValue, &Settings::runCount},
    {u"Info", &Settings::info},
    {u"LangPref", &Settings::langPref},
    {u"FontMain", &Settings::fontMain},
    {u"FontMainStyle", &Settings::fontMainStyle},
    {u"FontCard", &Settings::fontCard},
    {u"FontCardFieldNmStyle", &Settings::fontCardFieldNmStyle},
    {u"FontCardDataStyle", &Settings::fontCardDataStyle},
    {u"NoteFont", &Settings::noteFont},
    {u"NoteFontStyle", &Settings::noteFontStyle},
    {u"NoteWrap", &Settings::noteWrap},
    {u"ClearType", &Settings::clearType},
    {u"NoteZoom", &Settings::noteZoom},
    {u"Color.BarStart", &Settings::colorBarStart},
    {u"Color.BarEnd", &Settings::colorBarEnd},
    {u"Color.BarText", &Settings::colorBarText},
    {u"Color.FolderSpecial", &Settings::colorFolderSpecial},
    {u"Color.FolderForms", &Settings::colorFolderForms},
    {u"Pass.AutoOK", &Settings::passAutoOK},
    {u"OpenLast", &Settings::openLast},
    {u"Version", &Settings::version},
    {u"CloseOnSwitch", &Settings::closeOnSwitch},
    {u"Clipboard.Clear", &Settings::clipboardClearSeconds},
};

// The DWORD values written by every device kind, in the order they are written ("MRU" goes
// between "ClearType" and "NoteZoom").
constexpr DwordValue kSavedBeforeMru[] = {
    {kRunCountValue, &Settings::runCount},
    {u"Info", &Settings::info},
    {u"FontMain", &Settings::fontMain},
    {u"FontMainStyle", &Settings::fontMainStyle},
    {u"FontCard", &Settings::fontCard},
    {u"FontCardFieldNmStyle", &Settings::fontCardFieldNmStyle},
    {u"FontCardDataStyle", &Settings::fontCardDataStyle},
    {u"NoteFont", &Settings::noteFont},
    {u"NoteFontStyle", &Settings::noteFontStyle},
    {u"NoteWrap", &Settings::noteWrap},
    {u"ClearType", &Settings::clearType},
};
constexpr DwordValue kSavedAfterMru[] = {
    {u"NoteZoom", &Settings::noteZoom},
    {u"OpenLast", &Settings::openLast},
    {u"CloseOnSwitch", &Settings::closeOnSwitch},
    {u"Clipboard.Clear", &Settings::clipboardClearSeconds},
};

void readDword(Registry& registry, const char16_t* name, std::uint32_t& field) {
    if (const auto v = registry.readDword(kRoot, kKey, name)) field = *v;
}

}  // namespace

Settings Settings::defaults(DeviceKind device) {
    Settings s;
    s.passNumeric = isSmartphone(device) ? 1 : 0;
    s.keys = kDefaultKeys;
    return s;
}

void loadSettings(Settings& settings, Registry& registry, DeviceKind device,
                  const std::function<void()>& registerFileTypes) {
    if (!registry.createKey(kRoot, kKey)) return;
    for (const DwordValue& v : kLoadedDwords) readDword(registry, v.name, settings.*v.field);
    if (isSmartphone(device)) readDword(registry, u"Pass.Numeric", settings.passNumeric);
    if (const auto mru = registry.readString(kRoot, kKey, u"MRU")) {
        // A stored text ends at its first NUL; a path too long to have been stored whole is refused.
        std::u16string path = mru->substr(0, mru->find(u'\0'));
        if (path.size() <= kMaxPath) settings.mru = std::move(path);
    }
    (void)registry.readDword(kRoot, kKey, kSetupValue);
    if (registerFileTypes) registerFileTypes();
    registry.writeDword(kRoot, kKey, kSetupValue, kSetupDone);
    if (isSmartphone(device)) {
        const auto keys = registry.readBinary(kRoot, kKey, u"Keys");
        if (keys && keys->size() == kKeysBytes) {
            for (std::size_t i = 0; i < settings.keys.size(); ++i) {
                const std::uint8_t* p = keys->data() + 4 * i;
                settings.keys[i] = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                   (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
            }
        }
    }
    readDword(registry, u"ExitMenu", settings.exitMenu);
    if (!isSmartphone(device)) readDword(registry, u"Menus.Expanded", settings.menusExpanded);
}

void saveSettings(Settings& settings, Registry& registry, DeviceKind device) {
    ++settings.runCount;
    if (!registry.createKey(kRoot, kKey)) return;
    for (const DwordValue& v : kSavedBeforeMru) registry.writeDword(kRoot, kKey, v.name, settings.*v.field);
    registry.writeString(kRoot, kKey, u"MRU", settings.mru.size() <= kMaxPath ? settings.mru : std::u16string());
    for (const DwordValue& v : kSavedAfterMru) registry.writeDword(kRoot, kKey, v.name, settings.*v.field);
    settings.version = kSettingsVersion;
    registry.writeDword(kRoot, kKey, u"Version", kSettingsVersion);
    if (isSmartphone(device)) {
        registry.writeDword(kRoot, kKey, u"Pass.Numeric", settings.passNumeric);
        std::vector<std::uint8_t> bytes(kKeysBytes);
        for (std::size_t i = 0; i < settings.keys.size(); ++i) {
            for (int b = 0; b < 4; ++b) bytes[4 * i + b] = static_cast<std::uint8_t>(settings.keys[i] >> (8 * b));
        }
        registry.writeBinary(kRoot, kKey, u"Keys", std::move(bytes));
    } else {
        registry.writeDword(kRoot, kKey, u"Menus.Expanded", settings.menusExpanded);
    }
    registry.flush();
}

void resetSettings(Settings& settings, DeviceKind device) {
    const std::uint32_t langPref = settings.langPref;
    settings = Settings::defaults(device);
    settings.langPref = langPref;
}

std::optional<std::size_t> keySlot(std::uint32_t virtualKey) {
    if (virtualKey >= 0x30 && virtualKey <= 0x39) return virtualKey - 0x30;
    if (virtualKey == 0x77) return 10;
    if (virtualKey == 0x78) return 11;
    return std::nullopt;
}

bool setKeyAction(Settings& settings, std::uint32_t virtualKey, std::uint32_t action) {
    const auto slot = keySlot(virtualKey);
    if (!slot) return false;
    settings.keys[*slot] = action;
    return true;
}

std::optional<FontSlotSpec> fontSlotSpec(std::size_t slot) {
    static constexpr double kSizes[] = {8, 9, 10, 11, 12, 16};
    if (slot < 18) return FontSlotSpec{kSizes[slot % 6], slot >= 6 && slot < 12 ? 700 : 400, slot >= 12};
    switch (slot) {
        case 18:
            return FontSlotSpec{10, 700, false};
        case 19:
            return FontSlotSpec{0, 400, false};
        case 20:
            return FontSlotSpec{0, 0, false};
        case 21:
            return FontSlotSpec{0, 700, false};
        case 22:
            return FontSlotSpec{8.5, 400, false};
        case 23:
            return FontSlotSpec{8.5, 700, false};
        case 24:
            return FontSlotSpec{8.5, 700, true};
        case 25:
            return FontSlotSpec{7, 400, false};
        case 26:
            return FontSlotSpec{7, 700, false};
        case 27:
            return FontSlotSpec{8, 700, true};
        default:
            return std::nullopt;
    }
}

std::size_t fontSlotFor(std::uint32_t size, bool bold, double desktopPoints) {
    if (size == 0) {
        const long points = std::lround(desktopPoints);
        size = points > 0 ? static_cast<std::uint32_t>(points) : 11;
    }
    std::size_t normal = 0;
    if (size <= 7)
        return bold ? 26 : 25;
    else if (size <= 12)
        normal = size - 8;
    else
        normal = 5;
    return bold ? normal + 6 : normal;
}

int noteZoomPoints(std::uint32_t zoom) {
    switch (zoom) {
        case 0:
            return 8;
        case 2:
            return 11;
        case 3:
        case 4:
            return 16;
        default:
            return 9;
    }
}

int fontPixelHeight(double points, int dpi) {
    return static_cast<int>(std::lround(points * dpi / 72.0));
}

}  // namespace tw::app
