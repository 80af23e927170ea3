#pragma once

#include <cstdint>
#include <optional>

#include "views/FrameDialog.h"

namespace tw::ui {

class ColourGrid;

// The colour chooser: the fixed palette of 64 colours in 8 rows of 8, the starting colour
// selected when it is one of them, and a preview of the selected colour below. The pen (mouse)
// selects the swatch under it; the arrow keys move as app::paletteStep says; Enter and Select
// confirm, Cancel gives nothing.
//
//   std::optional<std::uint32_t> c = ColorChooser::choose(ui, card.display().background(), this);
//
// Colours are COLORREFs (0x00BBGGRR) as cards store them.
class ColorChooser final : public FrameDialog {
    Q_OBJECT

public:
    ColorChooser(const UiContext& ui, std::uint32_t colorRef, QWidget* parent = nullptr);

    // The chosen colour, or nothing when the user cancelled.
    static std::optional<std::uint32_t> choose(const UiContext& ui, std::uint32_t colorRef, QWidget* parent);

    // The selected colour; the starting one while no swatch is selected.
    std::uint32_t colour() const;

private:
    std::uint32_t m_start;
    ColourGrid* m_grid = nullptr;
};

}  // namespace tw::ui
