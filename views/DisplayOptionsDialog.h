#pragma once

#include <functional>

#include "app/DisplayOptions.h"
#include "views/FrameDialog.h"

class QCheckBox;
class QComboBox;

namespace tw {
class WalletFile;
}

namespace tw::ui {

// Options ▸ Display: the folder tree's text size (with bold), the card view's text size, and the
// defaults new cards take: names and values bold, background, name and value colours; and the
// tree's folder and card colours. OK writes everything at once (the settings and the wallet's
// settings block); Cancel writes nothing. The caller rebuilds the tree's font afterwards.
class DisplayOptionsDialog final : public FrameDialog {
    Q_OBJECT

public:
    // Asks for a colour, starting from `current`; an invalid colour when the user cancelled.
    using ColourChooser = std::function<QColor(QWidget* parent, QColor current)>;

    DisplayOptionsDialog(const UiContext& ui, WalletFile& wallet, ColourChooser chooseColour = {},
                         QWidget* parent = nullptr);

    void accept() override;
    app::DisplayOptions& options() { return m_options; }
    // Shows the options as they are now (after setting them from a test, say).
    void refresh();

private:
    QPushButton* swatch(std::uint32_t* colour, const char* name, QWidget* parent);
    void showSwatches();

    WalletFile& m_wallet;
    ColourChooser m_chooseColour;
    app::DisplayOptions m_options;
    QComboBox* m_treeSize = nullptr;
    QComboBox* m_cardSize = nullptr;
    QCheckBox* m_namesBold = nullptr;
    QCheckBox* m_valuesBold = nullptr;
    std::vector<std::pair<QPushButton*, std::uint32_t*>> m_swatches;
};

}  // namespace tw::ui
