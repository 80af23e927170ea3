#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/WalletFiles.h"
#include "shell/WalletChooser.h"
#include "views/FrameDialog.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QMenu;

namespace tw {
struct Env;
}

namespace tw::shell {

// Where wallets are looked for and made: the user's documents folder and the mounted removable
// media (memory cards, USB sticks), which the program asks for each time the list is filled.
struct WalletPlaces {
    std::string documents;
    std::function<std::vector<std::string>()> removable;
    app::ScanLimits limits;
};

// The wallets manager: the list of wallet files (current wallets first, older ".wal" wallets
// after them) with New, Open, Delete, Copy, Rename, About and Exit. Ends with 1 when a wallet was
// chosen (chosenPath(), and isNew() for a new one), 2 when cancelled, 802 for Exit.
class WalletsManagerDialog final : public ui::FrameDialog {
    Q_OBJECT

public:
    static constexpr int kExitResult = 802;

    WalletsManagerDialog(const ui::UiContext& ui, WalletPlaces places, QWidget* parent = nullptr);

    const std::string& chosenPath() const { return m_chosen; }
    bool isNew() const { return m_new; }
    QListWidget* list() const { return m_list; }
    // The wallet of the selected row; empty when none is selected.
    std::string selectedPath() const;

    // The commands, as the menu calls them.
    void openSelected();
    void newWallet();
    void deleteSelected();
    void copySelected();
    void renameSelected();
    void about();
    void exitProgram();
    // Empties and fills the list again; the row of `select` (a path) is selected when listed.
    void refill(const std::string& select = {});

    void accept() override;
    void reject() override;

private:
    QMenu* buildMenu(bool withAll);
    void updateMenu();
    void updateMenuOf(QMenu* menu);

    WalletPlaces m_places;
    QListWidget* m_list = nullptr;
    QMenu* m_menu = nullptr;
    std::vector<app::WalletEntry> m_entries;
    std::string m_chosen;
    bool m_new = false;
};

// Asks for a wallet's name: a new wallet's (with "Save in": the documents folder or the documents
// folder on a removable medium) or a new name for an existing one. accept() checks the name and
// the file (messages 23007 and the like, 23010 and 23011); an empty name cancels.
class WalletNameDialog final : public ui::FrameDialog {
    Q_OBJECT

public:
    // A new wallet in one of `places` (the documents folder first).
    WalletNameDialog(const ui::UiContext& ui, const WalletPlaces& places, QWidget* parent = nullptr);
    // A new name for the wallet at `path`.
    WalletNameDialog(const ui::UiContext& ui, const std::string& path, QWidget* parent = nullptr);

    // The accepted new wallet's path, or the renamed wallet's new name.
    const std::string& path() const { return m_path; }
    const std::u16string& name() const { return m_name; }
    QLineEdit* nameEdit() const { return m_edit; }
    QComboBox* placeChooser() const { return m_places; }

    void accept() override;

private:
    struct Place {
        std::string folder;
        bool removable = false;
    };
    void build(const QString& title, const QString& name);
    bool nameIsUsable(const std::u16string& name);

    QLineEdit* m_edit = nullptr;
    QComboBox* m_places = nullptr;
    std::vector<Place> m_folders;
    std::string m_renaming;
    std::string m_path;
    std::u16string m_name;
};

// The wallets manager as the program's wallet chooser: a new wallet is given its password and
// hint and created before its path is returned; the manager comes back when that is cancelled or
// fails.
class WalletsManager final : public WalletChooser {
public:
    WalletsManager(const ui::UiContext& ui, Env& env, WalletPlaces places)
        : m_ui(ui), m_env(env), m_places(std::move(places)) {}
    std::optional<std::string> choose(QWidget* parent) override;

private:
    const ui::UiContext& m_ui;
    Env& m_env;
    WalletPlaces m_places;
};

// The program's places: the desktop's documents folder and the removable media mounted now.
WalletPlaces desktopWalletPlaces();

}  // namespace tw::shell
