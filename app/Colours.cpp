#include "app/Colours.h"

#include <algorithm>

namespace tw::app {

const std::array<std::uint32_t, kPaletteSize> kPalette = {
    0x000000, 0x262626, 0x4C4C4C, 0x737373, 0x999999, 0xD9D9D9, 0xE6E6E6, 0xFFFFFF,  //
    0x660000, 0x990000, 0xCC0000, 0xFF0000, 0xFF3333, 0xFF6666, 0xFF9999, 0xFFCCCC,  //
    0x006600, 0x009900, 0x00CC00, 0x00FF00, 0x33FF33, 0x66FF66, 0x99FF99, 0xCCFFCC,  //
    0x000066, 0x000099, 0x0000CC, 0x0000FF, 0x3333FF, 0x6666FF, 0x9999FF, 0xCCCCFF,  //
    0x660066, 0x990099, 0xCC00CC, 0xFF00FF, 0xFF33FF, 0xFF66FF, 0xFF99FF, 0xFFCCFF,  //
    0x006666, 0x009999, 0x00CCCC, 0x00FFFF, 0x33FFFF, 0x66FFFF, 0x99FFFF, 0xCCFFFF,  //
    0x663300, 0x994C00, 0xCC6600, 0xFF8000, 0xFF9933, 0xFFB266, 0xFFCC99, 0xFFE6CC,  //
    0x666600, 0x999900, 0xCCCC00, 0xFFFF00, 0xFFFF33, 0xFFFF66, 0xFFFF99, 0xFFFFCC,
};

const std::array<NamedColour, 16> kNamedColours = {{
    {0x000000, 62700},
    {0x800000, 62701},
    {0x008000, 62702},
    {0x808000, 62703},
    {0x000080, 62704},
    {0x800080, 62705},
    {0x008080, 62706},
    {0xC0C0C0, 62707},
    {0x808080, 62708},
    {0xFF0000, 62709},
    {0x00FF00, 62710},
    {0xFFFF00, 62711},
    {0x0000FF, 62712},
    {0xFF00FF, 62713},
    {0x00FFFF, 62714},
    {0xFFFFFF, 62715},
}};

std::optional<std::size_t> palettePosition(std::uint32_t colorRef) {
    const std::uint32_t rgb = rgbFromColorRef(colorRef);
    const auto it = std::find(kPalette.begin(), kPalette.end(), rgb);
    if (it == kPalette.end()) return std::nullopt;
    return static_cast<std::size_t>(it - kPalette.begin());
}

std::size_t paletteStep(std::optional<std::size_t> from, GridKey key) {
    if (!from || *from >= kPaletteSize) return 0;
    const std::size_t i = *from;
    switch (key) {
        case GridKey::Up:
            return i >= kPaletteColumns ? i - kPaletteColumns : i;
        case GridKey::Down:
            return i + kPaletteColumns < kPaletteSize ? i + kPaletteColumns : i;
        case GridKey::Left:
            return i > 0 ? i - 1 : i;
        case GridKey::Right:
            return (i + 1) % kPaletteSize;
    }
    return i;
}

int textSizeChoice(std::int32_t stored) {
    if (stored >= 1 && stored <= 8) return 0;
    if (stored == 9) return 1;
    if (stored >= 13) return 1;
    return 2;  // 10 to 12, and 0 or less
}

std::uint32_t storedTextSize(int choice) {
    switch (choice) {
        case 1:
            return 9;
        case 2:
            return 11;
        default:
            return 8;
    }
}

}  // namespace tw::app
