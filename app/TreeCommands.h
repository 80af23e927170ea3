#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/DisplayText.h"
#include "model/FolderTree.h"
#include "platform/Prompt.h"
#include "platform/StringTable.h"
#include "storage/RecordId.h"
#include "storage/WalletFile.h"

namespace tw::app {

// The commands of the wallet's folder tree, as the program's main window runs them: what the
// selection allows, the cut/copy clipboard, paste, drop, delete, favourites and find. Qt-free: the
// window asks the user what these return and shows the outcome.

// --- Tree items -------------------------------------------------------------------------------

// One entry of the tree as the window knows it. The record's index position and the kind of a
// special entry are kept apart, so that no index position can ever read as a special entry.
struct TreeItem {
    int type = 0;                      // tree_type; 0 for no item
    std::int64_t position = -1;        // the record's index position; -1 for a special entry
    int parentType = 0;                // 0 at the top level
    std::int64_t parentPosition = -1;  // the parent record's position; -1 at the top level or under a special entry

    bool isRecord() const { return position >= 0 && type >= tree_type::kCard && type <= tree_type::kFormsFolder; }
    bool underSpecial() const { return parentType >= tree_type::kFavourites; }
};

// The item of a record in the folder tree proper (not its copy under a special entry).
TreeItem recordItem(const WalletFile& wallet, std::size_t position);

// --- Permission mask --------------------------------------------------------------------------

namespace permission {
constexpr std::uint32_t kNewCard = 0x1;
constexpr std::uint32_t kNewFolder = 0x2;
constexpr std::uint32_t kAddFavourite = 0x4;
constexpr std::uint32_t kCut = 0x8;
constexpr std::uint32_t kCopy = 0x10;
constexpr std::uint32_t kPaste = 0x20;  // also: a drop target
constexpr std::uint32_t kDelete = 0x40;
constexpr std::uint32_t kExport = 0x80;
constexpr std::uint32_t kDeleteClears = 0x100;  // Delete is labelled "Clear" (20726)
constexpr std::uint32_t kSaveAsForm = 0x200;
constexpr std::uint32_t kCarried = 0x400;        // carried; no command tests it
constexpr std::uint32_t kDeleteRemoves = 0x800;  // Delete is labelled "Remove" (20727)
constexpr std::uint32_t kDrag = 0x1000;
}  // namespace permission

// What the selected item allows: 13 bits from its type, its parent's type and the type of the
// item on the clipboard (0 when the clipboard is empty, or its item is gone).
std::uint32_t permissionMask(int type, int parentType, int clipboardType);
std::uint32_t permissionMask(const TreeItem& item, int clipboardType);

// The Delete entry's label by the mask: 20725 Delete, 20726 Clear, 20727 Remove.
std::uint32_t deleteLabel(std::uint32_t mask);
// Delete does something on the item: the delete bit or one of its label bits.
bool deleteAllowed(std::uint32_t mask);

// --- Clipboard ----------------------------------------------------------------------------------

enum class ClipMode : int { None = 0, Cut = 1, Copy = 2, Drag = 3 };

// The tree's clipboard: one item, cut, copied or dragged. It names the record by position and
// identifier, so a record deleted (or a wallet reopened) since cannot be pasted.
class TreeClipboard {
public:
    void set(ClipMode mode, const WalletFile& wallet, std::size_t position);
    void clear();
    ClipMode mode() const { return m_mode; }
    std::int64_t position() const { return m_position; }
    // The live record's type (1 card, 2 folder, 3 forms folder); 0 when empty or the record is gone.
    int sourceType(const WalletFile& wallet) const;
    // Any command other than Paste ends a cut (and its ghosting). True when a cut ended.
    bool endCut();

private:
    ClipMode m_mode = ClipMode::None;
    std::int64_t m_position = -1;
    RecordId m_id{};
};

// --- Drop and paste -----------------------------------------------------------------------------

enum class DropAction {
    Nothing,         // refused silently
    Beep,            // a folder into its own subtree
    FoldersRefused,  // a folder on the forms folder or the favourites: message 22000
    Move,            // into `folder` (-1: the top level)
    SaveAsForm,      // a card on the forms folder
    AddFavourite,    // a card on the favourites entry
};

struct DropPlan {
    DropAction action = DropAction::Nothing;
    std::int64_t folder = -1;
};

// What dropping (or pasting a cut of) `source` on `target` does. A card target stands for its
// folder.
DropPlan planDrop(const WalletFile& wallet, const TreeItem& source, const TreeItem& target);

// Carries out a plan; the position of what changed (the moved record, the new form), or -1 when
// nothing was written.
std::int64_t runDrop(WalletFile& wallet, const TreeItem& source, const DropPlan& plan);

// The folder a new card, a new folder or a paste goes to for the selected item: the item itself
// when it is a folder or forms folder, a card's folder; -1 for the top level.
std::int64_t targetFolder(const WalletFile& wallet, const TreeItem& item);

struct PasteResult {
    std::int64_t position = -1;  // the copy, or the moved record; -1 when nothing was pasted
    bool moved = false;          // a cut was moved (the clipboard is then empty)
};

// Paste of the clipboard on `target`: a copied card is duplicated into the target folder, a cut
// item moved as a drop. Needs the paste bit of the target's mask.
PasteResult paste(WalletFile& wallet, TreeClipboard& clipboard, const TreeItem& target);

// --- Delete --------------------------------------------------------------------------------------

enum class DeleteKind {
    Nothing,             // a special entry without a list, or no item
    ClearResults,        // the find-results entry: forget the results
    ClearFavourites,     // the favourites entry: empty the list
    FormsFolderRefused,  // message 22005
    Folder,              // the folder and its whole subtree (22004)
    Card,                // 22003
    Form,                // a card in the forms folder (22002)
    RemoveFromList,      // a card under the favourites or find results (22001): the card stays
};

struct DeletePlan {
    DeleteKind kind = DeleteKind::Nothing;
    std::u16string question;  // empty: no question is asked
    std::size_t folders = 0;  // for a folder: the folders and cards of its subtree, itself included
    std::size_t cards = 0;
};

// What Delete (and Remove) does on the item, with the question to confirm it.
DeletePlan planDelete(const WalletFile& wallet, const TreeItem& item, const StringTable& strings);

struct DeleteResult {
    bool done = false;                 // everything planned was done
    std::vector<std::size_t> removed;  // records deleted from the file
    bool partial = false;              // a folder's subtree was deleted in part only
};

// Carries out a confirmed plan. A folder's subtree is deleted from the bottom up, so that a
// failure part-way leaves every remaining record in a folder that still exists.
DeleteResult runDelete(WalletFile& wallet, const TreeItem& item, const DeletePlan& plan);

// The live records of a folder's subtree (the folder included), deepest first.
std::vector<std::size_t> subtreeBottomUp(const WalletFile& wallet, std::size_t folder);

// --- Favourites ----------------------------------------------------------------------------------

// Adds a card to the favourites (fewer than 32 and not in yet). True when added.
bool addFavourite(WalletFile& wallet, std::size_t position);

// --- Find ------------------------------------------------------------------------------------------

inline constexpr std::size_t kFindBoxLength = 48;

enum class FindKind {
    TooShort,      // fewer than 2 characters: message 22007
    Maintenance,   // a maintenance command ran; nothing was searched
    NothingFound,  // message 22155
    Found,
};

struct FindOutcome {
    FindKind kind = FindKind::NothingFound;
    std::size_t found = 0;
    std::u16string boxText;      // what the find box holds afterwards (cut to 48 characters)
    bool resetSettings = false;  // "::reset" ran: the caller resets the settings and beeps
};

// Runs the find box's text: the maintenance commands "::reset", "::cleartype" and "::openlast"
// (any case; the last two switch `clearType` and `openLast` in place), else a find of at most 48
// characters into the wallet's find results.
FindOutcome runFind(WalletFile& wallet, std::u16string_view boxText, const LocalePatterns& locale,
                    std::uint32_t& clearType, std::uint32_t& openLast);

}  // namespace tw::app
