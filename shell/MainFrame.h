#pragma once

#include <QMainWindow>
#include <string>

#include "app/OpenWallet.h"

class QTreeWidget;

namespace tw {
class WalletFile;
}

namespace tw::ui {
class DlgBar;
struct UiContext;
}  // namespace tw::ui

namespace tw::shell {

class WalletChooser;

// The program's identity texts.
inline constexpr char16_t kMainWindowTitle[] = u"Tallowmere Pro 6";
inline constexpr char16_t kNoWalletTitle[] = u"Tallowmere Pro 2006";

// The main window as far as it is built: the open wallet's name in a title strip over its folder
// tree (read-only), and a menu to open another wallet and to exit. It owns no wallet: the
// program's WalletFile is handed in.
class MainFrame final : public QMainWindow {
    Q_OBJECT

public:
    // How wallets are opened: where the conversion of an older wallet looks for custom forms.
    struct OpenOptions {
        std::string programFolder;
        Registry* registry = nullptr;
    };

    MainFrame(const ui::UiContext& ui, WalletFile& wallet, WalletChooser& chooser, OpenOptions options,
              QWidget* parent = nullptr);

    // Opens a wallet with its password (and the conversion, repair and upgrade questions). On
    // success the path becomes the last wallet ("MRU") and the tree shows it; on failure the error
    // is shown and, when asked, the wallet chooser comes back. True when a wallet is open.
    bool openWallet(const std::string& path, bool returnToChooserOnFailure);
    // Closes the open wallet and asks for another: 1 when a wallet was opened (or the chooser will
    // come back), -1 when the user chose none.
    int showWalletsManager();
    // Exit: writes and closes the wallet, then closes the window.
    void exitProgram();
    // Writes the open wallet's changed blocks (at logout and termination).
    void flushWallet();

    // Shows the wallet that the WalletFile holds open: its name and its folder tree.
    void showWallet();

    bool hasWallet() const;
    QTreeWidget* tree() const { return m_tree; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    void closeWallet();
    void chooseAgain();

    const ui::UiContext& m_ui;
    WalletFile& m_wallet;
    WalletChooser& m_chooser;
    OpenOptions m_options;
    ui::DlgBar* m_strip = nullptr;
    QTreeWidget* m_tree = nullptr;
};

}  // namespace tw::shell
