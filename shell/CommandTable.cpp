#include "shell/CommandTable.h"

#include <array>

#include "app/TreeCommands.h"
#include "model/FolderTree.h"

namespace tw::shell {

namespace {

namespace p = app::permission;
using K = QKeySequence;
constexpr ShortcutScope W = ShortcutScope::Window;
constexpr ShortcutScope T = ShortcutScope::Tree;
constexpr std::uint32_t kDeleteBits = p::kDelete | p::kDeleteClears | p::kDeleteRemoves;

constexpr std::array kCommands = {
    CommandSpec{cmd::kFind, 21001, K::Find, QKeyCombination(), W, 0, "findAction"},
    CommandSpec{cmd::kNewCard, 21002, K::New, QKeyCombination(), W, p::kNewCard, "newCardAction"},
    CommandSpec{cmd::kNewFolder, 21003, K::UnknownKey, Qt::CTRL | Qt::SHIFT | Qt::Key_N, W, p::kNewFolder,
                "newFolderAction"},
    CommandSpec{cmd::kAddFavourite, 21004, K::UnknownKey, Qt::CTRL | Qt::Key_D, T, p::kAddFavourite,
                "addFavouriteAction"},
    CommandSpec{cmd::kCut, 21006, K::Cut, QKeyCombination(), T, p::kCut, "cutAction"},
    CommandSpec{cmd::kCopy, 21007, K::Copy, QKeyCombination(), T, p::kCopy, "copyAction"},
    CommandSpec{cmd::kPaste, 21008, K::Paste, QKeyCombination(), T, p::kPaste, "pasteAction"},
    CommandSpec{cmd::kDelete, 21009, K::Delete, QKeyCombination(), T, kDeleteBits, "deleteAction"},
    CommandSpec{cmd::kProperties, 21010, K::UnknownKey, Qt::ALT | Qt::Key_Return, T, 0, "propertiesAction"},
    CommandSpec{cmd::kSaveAsForm, 21011, K::UnknownKey, QKeyCombination(), T, p::kSaveAsForm, "saveAsFormAction"},
    CommandSpec{cmd::kSecurity, 21014, K::UnknownKey, QKeyCombination(), W, 0, "securityAction"},
    CommandSpec{cmd::kChangePassword, 21015, K::UnknownKey, QKeyCombination(), W, 0, "changePasswordAction"},
    CommandSpec{cmd::kExpandedMenus, 21016, K::UnknownKey, QKeyCombination(), W, 0, "expandedMenusAction"},
    CommandSpec{cmd::kExport, 21017, K::UnknownKey, Qt::CTRL | Qt::Key_E, W, p::kExport, "exportAction"},
    CommandSpec{cmd::kImport, 21018, K::UnknownKey, Qt::CTRL | Qt::Key_I, W, 0, "importAction"},
    CommandSpec{cmd::kAbout, 21019, K::UnknownKey, QKeyCombination(), W, 0, "aboutAction"},
    CommandSpec{cmd::kUpdates, 21020, K::UnknownKey, QKeyCombination(), W, 0, "updatesAction"},
    CommandSpec{cmd::kHelp, 21021, K::HelpContents, QKeyCombination(), W, 0, "helpAction"},
    CommandSpec{cmd::kWallets, 21022, K::Open, QKeyCombination(), W, 0, "walletsAction"},
    CommandSpec{cmd::kExit, 21023, K::Quit, QKeyCombination(), W, 0, "exitAction"},
    CommandSpec{cmd::kGo, 21024, K::UnknownKey, QKeyCombination(), W, 0, "goAction"},
    CommandSpec{cmd::kCancelFind, 21025, K::UnknownKey, QKeyCombination(), W, 0, "cancelFindAction"},
    CommandSpec{cmd::kClear, 21026, K::UnknownKey, QKeyCombination(), T, p::kDeleteClears, "clearAction"},
    CommandSpec{cmd::kImportForm, 21027, K::UnknownKey, QKeyCombination(), W, 0, "importFormAction"},
    CommandSpec{cmd::kRemove, 21028, K::UnknownKey, QKeyCombination(), T, p::kDeleteRemoves, "removeAction"},
    CommandSpec{cmd::kRename, 21029, K::UnknownKey, QKeyCombination(Qt::Key_F2), T, 0, "renameAction"},
    CommandSpec{cmd::kGoToCard, 21030, K::UnknownKey, QKeyCombination(), T, 0, "goToCardAction"},
};

constexpr std::array kMainMenu = {cmd::kNewCard, cmd::kNewFolder, cmd::kAddFavourite, 0, -1, -2, 0,
                                  cmd::kWallets, cmd::kExit};
constexpr std::array kEditMenu = {cmd::kCut, cmd::kCopy,   cmd::kPaste,      cmd::kDelete,
                                  0,         cmd::kRename, cmd::kProperties, cmd::kSaveAsForm};
constexpr std::array kOptionsMenu = {cmd::kSecurity, cmd::kChangePassword, cmd::kExpandedMenus, 0,
                                     cmd::kExport,   cmd::kImport,         cmd::kImportForm,    0,
                                     cmd::kAbout,    cmd::kUpdates,        cmd::kHelp};
constexpr std::array kOptionsMenuPhone = {cmd::kSecurity, cmd::kChangePassword, 0,
                                          cmd::kAbout,    cmd::kUpdates,        cmd::kHelp};

// Context menus: no item, the favourites entry, the find-results entry, an item under each, a form,
// the forms folder, a folder, any other card.
constexpr std::array kNoItem = {cmd::kNewCard, cmd::kNewFolder, cmd::kPaste};
constexpr std::array kFavourites = {cmd::kClear, 0, cmd::kRename, cmd::kProperties};
constexpr std::array kResults = {cmd::kClear, 0, cmd::kRename, cmd::kProperties};
constexpr std::array kUnderFavourites = {cmd::kGoToCard, 0, cmd::kCopy, cmd::kSaveAsForm, cmd::kRemove};
constexpr std::array kUnderResults = {cmd::kGoToCard,   0,           cmd::kCopy, cmd::kAddFavourite,
                                      cmd::kSaveAsForm, cmd::kRemove};
constexpr std::array kForm = {cmd::kNewCard, 0, cmd::kCut, cmd::kCopy, cmd::kDelete, cmd::kRename, 0, cmd::kExport};
constexpr std::array kFormsFolder = {cmd::kNewCard, cmd::kPaste, 0, cmd::kImportForm, cmd::kProperties};
constexpr std::array kFolder = {cmd::kNewCard, cmd::kNewFolder,  0, cmd::kCut,   cmd::kPaste, cmd::kDelete,
                                cmd::kRename,  cmd::kProperties, 0, cmd::kExport};
constexpr std::array kCard = {cmd::kCut,          cmd::kCopy,       cmd::kPaste, cmd::kDelete, cmd::kRename, 0,
                              cmd::kAddFavourite, cmd::kSaveAsForm, 0,           cmd::kExport};

}  // namespace

std::span<const CommandSpec> commandTable() {
    return kCommands;
}

const CommandSpec* commandSpec(int id) {
    for (const CommandSpec& spec : kCommands)
        if (spec.id == id) return &spec;
    return nullptr;
}

std::span<const int> mainMenu() {
    return kMainMenu;
}
std::span<const int> editMenu() {
    return kEditMenu;
}
std::span<const int> optionsMenu(bool smartphone) {
    if (smartphone) return kOptionsMenuPhone;
    return kOptionsMenu;
}

std::span<const int> contextMenu(int type, int parentType) {
    namespace tt = tree_type;
    switch (type) {
        case 0:
            return kNoItem;
        case tt::kFavourites:
            return kFavourites;
        case tt::kSearchResults:
            return kResults;
        case tt::kFormsFolder:
            return kFormsFolder;
        case tt::kFolder:
            return kFolder;
        case tt::kCard:
            if (parentType == tt::kFavourites) return kUnderFavourites;
            if (parentType == tt::kSearchResults) return kUnderResults;
            if (parentType == tt::kFormsFolder) return kForm;
            return kCard;
        default:
            return {};
    }
}

}  // namespace tw::shell
