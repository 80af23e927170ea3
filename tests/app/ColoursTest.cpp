// The colour chooser's palette and keys, and the Text/Colors dialog's text sizes.
#include <gtest/gtest.h>

#include "app/Colours.h"

namespace tw::app {
namespace {

TEST(Colours, PaletteKeysStopAtTheEdgesAndRightWraps) {
    struct Case {
        std::optional<std::size_t> from;
        GridKey key;
        std::size_t to;
    };
    const Case cases[] = {
        {9, GridKey::Up, 1},     {3, GridKey::Up, 3},      // not above the first row
        {9, GridKey::Down, 17},  {60, GridKey::Down, 60},  // not below the last row
        {9, GridKey::Left, 8},   {8, GridKey::Left, 7},    // a row's first to the last of the row above
        {0, GridKey::Left, 0},   {7, GridKey::Right, 8},   // the first swatch stays
        {63, GridKey::Right, 0}, {std::nullopt, GridKey::Down, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(paletteStep(c.from, c.key), c.to) << (c.from ? int(*c.from) : -1) << " key " << int(c.key);
}

TEST(Colours, PaletteLooksUpStoredColours) {
    EXPECT_EQ(palettePosition(colorRefFromRgb(0xFF8000)), 51u);
    EXPECT_EQ(palettePosition(0x0000FF), 11u);  // COLORREF red is RGB FF0000
    EXPECT_EQ(palettePosition(0x010203), std::nullopt);
    EXPECT_EQ(rgbFromColorRef(0x00332211), 0x112233u);
}

TEST(Colours, TextSizesFromAndToTheCard) {
    const std::pair<std::int32_t, int> opened[] = {{-3, 2}, {0, 2},  {1, 0},  {8, 0}, {9, 1},
                                                   {10, 2}, {12, 2}, {13, 1}, {99, 1}};
    for (auto [stored, choice] : opened) EXPECT_EQ(textSizeChoice(stored), choice) << stored;
    EXPECT_EQ(storedTextSize(0), 8u);
    EXPECT_EQ(storedTextSize(1), 9u);
    EXPECT_EQ(storedTextSize(2), 11u);
    EXPECT_EQ(storedTextSize(-1), 8u);  // nothing chosen
}

}  // namespace
}  // namespace tw::app
