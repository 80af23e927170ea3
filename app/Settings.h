#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/DeviceKind.h"
#include "platform/Registry.h"

namespace tw::app {

// Paths (a wallet named on the command line, the last wallet) hold at most this many UTF-16
// units. A longer one is refused, never cut: a cut path can name another existing file.
inline constexpr std::size_t kMaxPath = 259;

// The settings version written at every save ("%d%02d" of 6 and 54).
inline constexpr std::uint32_t kSettingsVersion = 654;

// The user's preferences, kept in the settings key (platform/SettingsKey.h) of the registry.
// Colours are COLORREF values (0x00BBGGRR). Values that belong to one wallet live in the wallet.
struct Settings {
    std::uint32_t fontMain = 9;       // folder tree text size in points; 0 = the desktop's text size
    std::uint32_t fontMainStyle = 0;  // bit 0: bold
    std::uint32_t fontCard = 9;
    std::uint32_t fontCardFieldNmStyle = 1;
    std::uint32_t fontCardDataStyle = 0;
    std::uint32_t noteFont = 9;
    std::uint32_t noteFontStyle = 0;
    std::uint32_t noteWrap = 1;
    std::uint32_t clearType = 1;
    std::uint32_t exitMenu = 0;
    std::uint32_t noteZoom = 9;
    std::uint32_t colorBarStart = 0xFEECDD;
    std::uint32_t colorBarEnd = 0xE2A981;
    std::uint32_t colorBarText = 0x000000;
    std::uint32_t colorFolderSpecial = 0x9933FF;
    std::uint32_t colorFolderForms = 0x008000;
    std::uint32_t passAutoOK = 1;
    std::uint32_t openLast = 1;
    std::uint32_t passNumeric = 0;         // Smartphone only; its default there is 1
    std::array<std::uint32_t, 12> keys{};  // Smartphone only: action of each phone key
    std::uint32_t menusExpanded = 0;       // Pocket PC only
    std::uint32_t info = 0;                // bit 0: the first-run notice at every start
    std::uint32_t langPref = 0;
    std::u16string mru;  // the wallet opened last; at most kMaxPath units
    std::uint32_t version = 0;
    std::uint32_t runCount = 0;  // "Count6": completed runs
    // Close the wallet when the user switches to another program (its closing interval not 0).
    std::uint32_t closeOnSwitch = 0;
    // Seconds after which a copied secret is cleared from the clipboard; 0 keeps it.
    std::uint32_t clipboardClearSeconds = 30;

    // Every value at its default for the device kind.
    static Settings defaults(DeviceKind device);
};

// Registry value names that are not plain words.
inline constexpr char16_t kRunCountValue[] = u"Count6";
inline constexpr char16_t kSetupValue[] = u"Setup6";
inline constexpr std::uint32_t kSetupDone = 7;

// Loads the settings key over `settings` (which holds the defaults): each value only when it is
// present, readable and of its type; a missing or damaged one keeps what `settings` had. After
// "MRU" the file types are registered (`registerFileTypes`, may be empty) and "Setup6" set to 7.
// Values of the other device kind are neither read nor written. A key that cannot be opened or
// created leaves `settings` as it is.
void loadSettings(Settings& settings, Registry& registry, DeviceKind device,
                  const std::function<void()>& registerFileTypes);

// Counts the run (runCount + 1) and writes every value the program owns; colours, "Pass.AutoOK",
// "ExitMenu" and "LangPref" are never written. Write failures are ignored.
void saveSettings(Settings& settings, Registry& registry, DeviceKind device);

// Every value back to its default except "LangPref"; the next save writes them.
void resetSettings(Settings& settings, DeviceKind device);

// --- Phone keys ("Keys") ------------------------------------------------------------------
// The slot of a phone key's virtual-key code: the digits 0x30-0x39 in slots 0-9, the star key
// 0x77 in slot 10 and the pound key 0x78 in slot 11; nullopt for any other key.
std::optional<std::size_t> keySlot(std::uint32_t virtualKey);
// Sets a key's action; false for a key that has no slot.
bool setKeyAction(Settings& settings, std::uint32_t virtualKey, std::uint32_t action);

// --- Fonts ---------------------------------------------------------------------------------
// The font cache's 28 slots: point size (0 = the desktop's own font), weight, underline.
struct FontSlotSpec {
    double points = 0;  // 0: the desktop's font at its own size
    int weight = 400;   // 400 normal, 700 bold; 0 keeps the desktop font's weight
    bool underline = false;
};
inline constexpr std::size_t kFontSlots = 28;
// The slot's description; nullopt above slot 27.
std::optional<FontSlotSpec> fontSlotSpec(std::size_t slot);

// The slot for a size setting ("FontMain", "FontCard", ...) and its bold bit. Size 0 follows
// the desktop's text size: `desktopPoints` is looked up in the same table (0 or less counts as 11).
std::size_t fontSlotFor(std::uint32_t size, bool bold, double desktopPoints);

// The note editor's font size in points for a "NoteZoom" value: 0 → 8, 1 → 9, 2 → 11, 3 and 4 →
// 16, anything else → 9.
int noteZoomPoints(std::uint32_t zoom);

// Pixel height of a font of `points` at `dpi` dots per inch, rounded half away from zero.
int fontPixelHeight(double points, int dpi);

}  // namespace tw::app
