#pragma once

#include <QKeySequence>
#include <cstdint>
#include <span>

namespace tw::shell {

// The main window's command ids.
namespace cmd {
constexpr int kOk = 1;
constexpr int kExit = 802;
constexpr int kProperties = 804;
constexpr int kDelete = 805;
constexpr int kChangePassword = 807;
constexpr int kAbout = 808;
constexpr int kCancelFind = 809;
constexpr int kWallets = 810;
constexpr int kNewCard = 821;
constexpr int kNewFolder = 822;
constexpr int kFind = 823;
constexpr int kGo = 824;
constexpr int kCut = 825;
constexpr int kCopy = 827;
constexpr int kPaste = 828;
constexpr int kSecurity = 830;
constexpr int kSaveAsForm = 831;
constexpr int kAddFavourite = 832;
constexpr int kExport = 833;
constexpr int kImport = 834;
constexpr int kClear = 857;
constexpr int kImportForm = 859;
constexpr int kRemove = 860;
constexpr int kRename = 861;
constexpr int kUpdates = 875;
constexpr int kHelp = 876;
constexpr int kGoToCard = 877;
constexpr int kExpandedMenus = 40096;
}  // namespace cmd

// Where a command's shortcut works: in the whole window, or only while the tree has the focus
// (so that Delete and Ctrl+C in the find box edit the text there).
enum class ShortcutScope { Window, Tree };

// Which items a command is for. `maskBits`: enabled when the selected item's permission mask has
// any of these bits; 0 for commands that do not depend on the selection.
struct CommandSpec {
    int id;
    std::uint32_t textId;
    QKeySequence::StandardKey standardKey;
    QKeyCombination key;  // the key when there is no standard key; empty for none
    ShortcutScope scope;
    std::uint32_t maskBits;
    const char* objectName;
};

// Every command of the menus, the context menus and the find bar, once.
std::span<const CommandSpec> commandTable();
const CommandSpec* commandSpec(int id);

// Menu layouts, as command ids; 0 is a separator, -1 opens the Edit sub-menu, -2 the Options
// sub-menu (menu bar 963).
std::span<const int> mainMenu();
std::span<const int> editMenu();
std::span<const int> optionsMenu(bool smartphone);

// The context menu of an item: by its type and its parent's type (0: no item).
std::span<const int> contextMenu(int type, int parentType);

}  // namespace tw::shell
