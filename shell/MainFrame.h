#pragma once

#include <QMainWindow>
#include <map>
#include <memory>
#include <string>

#include "app/CustomIcons.h"
#include "app/IconMend.h"
#include "app/OpenWallet.h"
#include "app/TreeCommands.h"
#include "platform/BootClock.h"
#include "shell/CardOpener.h"

class QLineEdit;
class QToolBar;
class QToolButton;
class QTreeView;

namespace tw {
class Launcher;
class SecretClipboard;
class WalletFile;
}  // namespace tw

namespace tw::ui {
class DlgBar;
struct UiContext;
}  // namespace tw::ui

namespace tw::shell {

class AutoClose;
class SessionSignals;
class WalletChooser;
class WalletTreeModel;

// The program's identity texts.
inline constexpr char16_t kMainWindowTitle[] = u"Tallowmere Pro 6";
inline constexpr char16_t kNoWalletTitle[] = u"Tallowmere Pro 2006";

// The main window: the open wallet's folder tree (with the favourites and find-results entries),
// the find bar, the menus and context menus built from the command table and enabled by the
// selected item's permission mask, the wallet commands, drag and drop, and the automatic closing.
// It owns no wallet: the program's WalletFile is handed in.
class MainFrame final : public QMainWindow {
    Q_OBJECT

public:
    // How wallets are opened: where the conversion of an older wallet looks for custom forms.
    struct OpenOptions {
        std::string programFolder;
        Registry* registry = nullptr;
    };
    // The services the window uses beyond the wallet; null members get the real ones.
    struct Services {
        ElapsedClock* clock = nullptr;      // the idle time's clock (default: CLOCK_BOOTTIME)
        SessionSignals* session = nullptr;  // session lock and sleep (default: none)
        Launcher* launcher = nullptr;       // help, exported files (default: the desktop's opener)
        CardOpener cardOpener;              // the card window (default: showPlainCard)
        std::string documentsFolder;        // where exports go (default: the XDG documents folder)
    };

    MainFrame(const ui::UiContext& ui, WalletFile& wallet, WalletChooser& chooser, OpenOptions options,
              QWidget* parent = nullptr);
    MainFrame(const ui::UiContext& ui, WalletFile& wallet, WalletChooser& chooser, OpenOptions options,
              Services services, QWidget* parent = nullptr);
    ~MainFrame() override;

    // Opens a wallet with its password (and the conversion, repair and upgrade questions). On
    // success the path becomes the last wallet ("MRU") and the tree shows it; on failure the error
    // is shown and, when asked, the wallet chooser comes back. True when a wallet is open.
    bool openWallet(const std::string& path, bool returnToChooserOnFailure);
    // Closes the open wallet and asks for another: 1 when a wallet was opened (or the chooser will
    // come back), -1 when the user chose none.
    int showWalletsManager();
    // Exit: writes and closes the wallet, then closes the window. Asks nothing.
    void exitProgram();
    // Writes the open wallet's changed blocks (at logout and termination).
    void flushWallet();
    // Closes the wallet at once because it was left alone (or the session locked): open dialogs
    // are cancelled, nothing is asked, secrets leave the clipboard, then Exit.
    void closeAutomatically();

    // Shows the wallet that the WalletFile holds open: its name and its folder tree; arms the
    // automatic closing with the wallet's interval.
    void showWallet();
    // Runs a command of the menus by its id (shell/CommandTable.h).
    void runCommand(int id);
    // The card window's seam: the program sets the real card window here.
    void setCardOpener(CardOpener opener);

    bool hasWallet() const;
    // True once the wallet closed by itself (idle time, session lock, sleep, switching away).
    bool closedAutomatically() const { return m_closing; }
    bool findMode() const { return m_findMode; }
    int menuBarId() const { return m_menuBarId; }
    QTreeView* tree() const { return m_tree; }
    WalletTreeModel* model() const { return m_model; }
    // The open wallet's custom icons, for the windows that show or choose icons.
    const app::CustomIcons& customIcons() const { return m_customIcons; }
    QLineEdit* findEdit() const { return m_findEdit; }
    QAction* action(int id) const;
    // The context menu of an item (the caller owns it); null when it has none.
    QMenu* contextMenuFor(const QModelIndex& index);
    AutoClose& autoClose() const { return *m_autoClose; }
    const app::TreeClipboard& treeClipboard() const { return m_clip; }
    SecretClipboard& secrets() const { return *m_secrets; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildActions();
    void buildFindBar(QWidget* parent);
    void setMenuBar(int id);
    void rebuildToolBar();
    void updateActions();
    QMenu* buildContextMenu(const app::TreeItem& item);
    void closeWallet();
    void chooseAgain();
    void afterOpen();
    app::TreeItem selected() const;
    std::uint32_t selectedMask() const;
    void select(const QModelIndex& index);
    void refreshSpecial();

    // Commands (MainFrameCommands.cpp).
    void openItem(const QModelIndex& index);
    void openCard(std::size_t position);
    void newCard();
    void newFolder();
    void properties();
    void deleteSelected();
    void copySelected(bool cut);
    void pasteHere();
    void dropOn(std::int64_t source, const QModelIndex& target);
    void addToFavourites();
    void saveAsForm();
    void renameDone(const QModelIndex& index, const QString& text);
    void exportSelection();
    void importCards();
    void importForm();
    void security();
    void changePassword();
    void help();
    void about();
    void goToCard();
    void showFindBar(bool show);
    void runFind();
    void cancelFind();
    LocalePatterns locale() const;

    const ui::UiContext& m_ui;
    WalletFile& m_wallet;
    WalletChooser& m_chooser;
    OpenOptions m_options;
    Services m_services;
    std::unique_ptr<ElapsedClock> m_ownClock;
    std::unique_ptr<Launcher> m_ownLauncher;
    std::unique_ptr<SecretClipboard> m_secrets;
    AutoClose* m_autoClose = nullptr;

    ui::DlgBar* m_strip = nullptr;
    QWidget* m_findBar = nullptr;
    QLineEdit* m_findEdit = nullptr;
    QToolButton* m_findToggle = nullptr;
    QToolButton* m_findGo = nullptr;
    QToolButton* m_findClear = nullptr;
    QToolButton* m_findToTree = nullptr;
    QToolBar* m_toolBar = nullptr;
    QTreeView* m_tree = nullptr;
    WalletTreeModel* m_model = nullptr;
    std::map<int, QAction*> m_actions;
    int m_menuBarId = 0;
    bool m_findMode = false;
    bool m_closing = false;
    int m_busy = 0;               // long work runs on another thread: closing waits for it
    bool m_closePending = false;  // a close was asked for while the work ran
    app::TreeClipboard m_clip;
    app::CustomIcons m_customIcons;  // the open wallet's, registered as its records are read
    app::IconMender m_iconMender;    // mends icon numbers that are not valid, once per opening
};

}  // namespace tw::shell
