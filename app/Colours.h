#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace tw::app {

// Colours as the card stores them are COLORREFs, 0x00BBGGRR; the tables below are 0xRRGGBB.
constexpr std::uint32_t colorRefFromRgb(std::uint32_t rgb) {
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}
constexpr std::uint32_t rgbFromColorRef(std::uint32_t colorRef) {
    return colorRefFromRgb(colorRef & 0xFFFFFF);
}

// The colour chooser's palette: 8 rows of 8, by rows.
constexpr std::size_t kPaletteColumns = 8;
constexpr std::size_t kPaletteSize = 64;
extern const std::array<std::uint32_t, kPaletteSize> kPalette;
// The palette position of a COLORREF, or none.
std::optional<std::size_t> palettePosition(std::uint32_t colorRef);

// A key in the palette grid. Up and Down move by a row and stop at the first and last row; Left
// goes one back (from a row's first swatch to the last of the row above) and stops at the first
// swatch; Right goes one on and from the last swatch to the first. With no swatch selected every
// key selects the first.
enum class GridKey { Up, Down, Left, Right };
std::size_t paletteStep(std::optional<std::size_t> from, GridKey key);

// The colours of the Smartphone's colour lists, with their names' string ids, in list order.
struct NamedColour {
    std::uint32_t rgb;
    std::uint32_t textId;
};
extern const std::array<NamedColour, 16> kNamedColours;

// The card's text size (CardDisplay word 11) as the three sizes of the Text/Colors dialog
// (0 small, 1 medium, 2 large), and back. No selection stores small.
int textSizeChoice(std::int32_t stored);
std::uint32_t storedTextSize(int choice);

}  // namespace tw::app
