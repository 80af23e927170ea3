#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "model/CardDisplay.h"
#include "views/FrameDialog.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace tw::ui {

// The card's Text/Colors dialog: text size (small, medium, large), the background, field-name
// and field-value colours, names bold, values bold, and always display password fields. Pocket
// PC shows each colour as a swatch button that opens the colour chooser; Smartphone chooses from
// lists of 16 named colours (a colour that is none of them is listed after them as
// "RGB (r,g,b)"). The card view's layout and the block's other words are kept as they are.
//
//   std::optional<CardDisplay> d = CardColorsDialog::edit(ui, card.display(), this);
//   if (d) { card.setDisplay(*d); ... mark the card's own display settings and rebuild the view }
//
// edit() gives the new block only when it differs from the one passed in (changing a colour and
// back is no change); Cancel gives nothing.
class CardColorsDialog final : public FrameDialog {
    Q_OBJECT

public:
    CardColorsDialog(const UiContext& ui, const CardDisplay& display, QWidget* parent = nullptr);

    static std::optional<CardDisplay> edit(const UiContext& ui, const CardDisplay& display, QWidget* parent);

    // The block with the dialog's settings (read after the dialog was accepted).
    CardDisplay display() const;

private:
    enum Colour { Background, Names, Values, ColourCount };
    QWidget* makeColourControl(Colour which, QWidget* parent);
    std::uint32_t colourOf(Colour which) const;
    void paintSwatch(Colour which);

    CardDisplay m_original;
    std::array<std::uint32_t, ColourCount> m_colours{};
    std::array<QPushButton*, ColourCount> m_swatches{};  // Pocket PC
    std::array<QComboBox*, ColourCount> m_lists{};       // Smartphone
    QComboBox* m_textSize = nullptr;
    QCheckBox* m_namesBold = nullptr;
    QCheckBox* m_valuesBold = nullptr;
    QCheckBox* m_showPasswords = nullptr;
};

}  // namespace tw::ui
