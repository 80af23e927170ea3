#include "app/TreeCommands.h"

#include <algorithm>
#include <map>

#include "model/FormCards.h"
#include "model/Search.h"
#include "platform/Text.h"

namespace tw::app {

namespace {

constexpr std::uint32_t kDeleteText = 20725;
constexpr std::uint32_t kClearText = 20726;
constexpr std::uint32_t kRemoveText = 20727;
constexpr std::uint32_t kRemoveFromListQuestion = 22001;
constexpr std::uint32_t kDeleteFormQuestion = 22002;
constexpr std::uint32_t kDeleteCardQuestion = 22003;
constexpr std::uint32_t kDeleteFolderQuestion = 22004;

bool live(const WalletFile& wallet, std::int64_t position) {
    return position >= 0 && static_cast<std::size_t>(position) < wallet.index().count() &&
           !wallet.index().at(static_cast<std::size_t>(position)).deleted();
}

int typeOf(const WalletFile& wallet, std::int64_t position) {
    if (!live(wallet, position)) return 0;
    return static_cast<int>(wallet.index().at(static_cast<std::size_t>(position)).type());
}

// The live record that stands for an identifier as a parent: the first live one with it.
std::int64_t liveRecord(const WalletFile& wallet, const RecordId& id) {
    if (id.isZero()) return -1;
    const WalletIndex& index = wallet.index();
    for (std::size_t i = 0; i < index.count(); ++i)
        if (!index.at(i).deleted() && index.at(i).id() == id) return static_cast<std::int64_t>(i);
    return -1;
}

std::int64_t liveParent(const WalletFile& wallet, std::int64_t position) {
    if (!live(wallet, position)) return -1;
    return liveRecord(wallet, wallet.index().at(static_cast<std::size_t>(position)).parent());
}

// True when `folder` is `ancestor` or lies below it.
bool within(const WalletFile& wallet, std::int64_t folder, std::int64_t ancestor) {
    std::size_t steps = 0;
    while (folder >= 0 && steps++ <= wallet.index().count()) {
        if (folder == ancestor) return true;
        folder = liveParent(wallet, folder);
    }
    return false;
}

}  // namespace

TreeItem recordItem(const WalletFile& wallet, std::size_t position) {
    TreeItem item;
    item.type = typeOf(wallet, static_cast<std::int64_t>(position));
    if (item.type == 0) return {};
    item.position = static_cast<std::int64_t>(position);
    item.parentPosition = liveParent(wallet, item.position);
    item.parentType = typeOf(wallet, item.parentPosition);
    return item;
}

// --- Permission mask --------------------------------------------------------------------------

std::uint32_t permissionMask(int type, int parentType, int clipboardType) {
    const bool clipCard = clipboardType == tree_type::kCard;
    const bool clipCardOrFolder = clipCard || clipboardType == tree_type::kFolder;
    const std::uint32_t paste = permission::kPaste;
    switch (type) {
        case tree_type::kCard:
            switch (parentType) {
                case tree_type::kFolder:
                    return 0x16DF | (clipCardOrFolder ? paste : 0);
                case tree_type::kFormsFolder:
                    return 0x14D3 | (clipCard ? paste : 0);
                case tree_type::kFavourites:
                    return 0x0E92 | (clipCard ? paste : 0);
                case tree_type::kSearchResults:
                case tree_type::kThird:
                    return 0x0E86;
                case tree_type::kRecovered:
                    // A card whose folder is missing: it may be moved out, copied and deleted,
                    // but nothing is made or pasted in the recovered entry.
                    return 0x16DF & ~(permission::kNewCard | permission::kNewFolder);
                default:
                    return 0x0686;
            }
        case tree_type::kFolder:
            return 0x14CB | (clipCardOrFolder ? paste : 0);
        case tree_type::kFormsFolder:
            return 0x0483 | (clipCard ? paste : 0);
        case tree_type::kFavourites:
            return 0x0582 | (clipCard ? paste : 0);
        case tree_type::kSearchResults:
        case tree_type::kThird:
            return 0x0582;
        default:
            return 0x0082;
    }
}

std::uint32_t permissionMask(const TreeItem& item, int clipboardType) {
    return permissionMask(item.type, item.parentType, clipboardType);
}

std::uint32_t deleteLabel(std::uint32_t mask) {
    if (mask & permission::kDeleteRemoves) return kRemoveText;
    if (mask & permission::kDeleteClears) return kClearText;
    return kDeleteText;
}

bool deleteAllowed(std::uint32_t mask) {
    return (mask & (permission::kDelete | permission::kDeleteClears | permission::kDeleteRemoves)) != 0;
}

// --- Clipboard ----------------------------------------------------------------------------------

void TreeClipboard::set(ClipMode mode, const WalletFile& wallet, std::size_t position) {
    if (!live(wallet, static_cast<std::int64_t>(position))) {
        clear();
        return;
    }
    m_mode = mode;
    m_position = static_cast<std::int64_t>(position);
    m_id = wallet.index().at(position).id();
}

void TreeClipboard::clear() {
    m_mode = ClipMode::None;
    m_position = -1;
    m_id = RecordId{};
}

int TreeClipboard::sourceType(const WalletFile& wallet) const {
    if (m_mode == ClipMode::None || !live(wallet, m_position)) return 0;
    if (wallet.index().at(static_cast<std::size_t>(m_position)).id() != m_id) return 0;
    return typeOf(wallet, m_position);
}

bool TreeClipboard::endCut() {
    if (m_mode != ClipMode::Cut) return false;
    clear();
    return true;
}

// --- Drop and paste -----------------------------------------------------------------------------

std::int64_t targetFolder(const WalletFile& wallet, const TreeItem& item) {
    if (item.type == tree_type::kFolder || item.type == tree_type::kFormsFolder) return item.position;
    if (item.type == tree_type::kCard) {
        const std::int64_t parent = liveParent(wallet, item.position);
        const int type = typeOf(wallet, parent);
        return type == tree_type::kFolder || type == tree_type::kFormsFolder ? parent : -1;
    }
    return -1;
}

DropPlan planDrop(const WalletFile& wallet, const TreeItem& source, const TreeItem& target) {
    const int sourceType = typeOf(wallet, source.position);
    if (sourceType == 0 || target.type == 0) return {};
    // A folder dropped on the forms folder or the favourites is told why nothing happens.
    const bool listTarget = target.type == tree_type::kFormsFolder || target.type == tree_type::kFavourites ||
                            target.parentType == tree_type::kFormsFolder || target.parentType == tree_type::kFavourites;
    if (sourceType == tree_type::kFolder && listTarget) return {DropAction::FoldersRefused, -1};
    if ((permissionMask(target, sourceType) & permission::kPaste) == 0) return {};
    // A card target stands for its folder; under the favourites it stands for the favourites.
    int type = target.type;
    std::int64_t folder = target.position;
    if (type == tree_type::kCard) {
        if (target.parentType == tree_type::kFavourites) {
            type = tree_type::kFavourites;
        } else {
            folder = targetFolder(wallet, target);
            type = typeOf(wallet, folder);
            if (type == 0) return {};
        }
    }
    const std::int64_t sourceParent = liveParent(wallet, source.position);
    switch (type) {
        case tree_type::kFolder:
            if (folder == source.position || folder == sourceParent) return {};
            if (sourceType == tree_type::kFolder && within(wallet, folder, source.position)) {
                return {DropAction::Beep, -1};
            }
            return {DropAction::Move, folder};
        case tree_type::kFormsFolder:
            if (sourceType != tree_type::kCard) return {DropAction::FoldersRefused, -1};
            if (folder == sourceParent) return {};
            return {DropAction::SaveAsForm, folder};
        case tree_type::kFavourites:
            if (sourceType != tree_type::kCard) return {DropAction::FoldersRefused, -1};
            return {DropAction::AddFavourite, -1};
        default:
            return {};
    }
}

std::int64_t runDrop(WalletFile& wallet, const TreeItem& source, const DropPlan& plan) {
    if (!live(wallet, source.position)) return -1;
    const auto position = static_cast<std::size_t>(source.position);
    switch (plan.action) {
        case DropAction::Move: {
            const RecordId folder =
                plan.folder >= 0 ? wallet.index().at(static_cast<std::size_t>(plan.folder)).id() : RecordId{};
            return wallet.move(position, folder) ? source.position : -1;
        }
        case DropAction::SaveAsForm:
            return saveCardAsForm(wallet, position);
        case DropAction::AddFavourite:
            return addFavourite(wallet, position) ? source.position : -1;
        default:
            return -1;
    }
}

PasteResult paste(WalletFile& wallet, TreeClipboard& clipboard, const TreeItem& target) {
    const int sourceType = clipboard.sourceType(wallet);
    if (sourceType == 0 || (permissionMask(target, sourceType) & permission::kPaste) == 0) return {};
    const auto source = static_cast<std::size_t>(clipboard.position());
    if (clipboard.mode() == ClipMode::Copy) {
        if (sourceType != tree_type::kCard) return {};
        if (target.parentType == tree_type::kFavourites || target.type == tree_type::kFavourites) {
            return {addFavourite(wallet, source) ? static_cast<std::int64_t>(source) : -1, false};
        }
        const std::int64_t folder = targetFolder(wallet, target);
        if (typeOf(wallet, folder) == tree_type::kFormsFolder) {
            return {saveCardAsForm(wallet, source), false};
        }
        const RecordId folderId = folder >= 0 ? wallet.index().at(static_cast<std::size_t>(folder)).id() : RecordId{};
        return {copyCard(wallet, wallet.index().at(source).id(), folderId), false};
    }
    if (clipboard.mode() != ClipMode::Cut) return {};
    const DropPlan plan = planDrop(wallet, recordItem(wallet, source), target);
    const std::int64_t changed = runDrop(wallet, recordItem(wallet, source), plan);
    if (changed < 0) return {};
    // A completed paste ends the cut.
    clipboard.clear();
    return {changed, plan.action == DropAction::Move};
}

// --- Delete --------------------------------------------------------------------------------------

std::vector<std::size_t> subtreeBottomUp(const WalletFile& wallet, std::size_t folder) {
    const WalletIndex& index = wallet.index();
    std::map<RecordId, std::vector<std::size_t>> children;
    for (std::size_t i = 0; i < index.count(); ++i)
        if (!index.at(i).deleted()) children[index.at(i).parent()].push_back(i);
    // Pre-order from the folder, then reversed: every record comes before its parent.
    std::vector<std::size_t> order;
    std::vector<std::size_t> stack{folder};
    std::vector<bool> seen(index.count(), false);
    while (!stack.empty()) {
        const std::size_t at = stack.back();
        stack.pop_back();
        if (seen[at]) continue;
        seen[at] = true;
        order.push_back(at);
        if (index.at(at).type() == RecordType::Card) continue;
        const auto it = children.find(index.at(at).id());
        if (it == children.end()) continue;
        for (std::size_t child : it->second)
            if (!seen[child]) stack.push_back(child);
    }
    std::reverse(order.begin(), order.end());
    return order;
}

DeletePlan planDelete(const WalletFile& wallet, const TreeItem& item, const StringTable& strings) {
    DeletePlan plan;
    switch (item.type) {
        case tree_type::kSearchResults:
            plan.kind = DeleteKind::ClearResults;
            return plan;
        case tree_type::kFavourites:
            plan.kind = DeleteKind::ClearFavourites;
            return plan;
        case tree_type::kFormsFolder:
            if (live(wallet, item.position)) plan.kind = DeleteKind::FormsFolderRefused;
            return plan;
        default:
            break;
    }
    if (!live(wallet, item.position)) return plan;
    const std::u16string name = wallet.nameOf(static_cast<std::size_t>(item.position));
    if (item.type == tree_type::kFolder) {
        plan.kind = DeleteKind::Folder;
        for (std::size_t at : subtreeBottomUp(wallet, static_cast<std::size_t>(item.position))) {
            if (wallet.index().at(at).type() == RecordType::Card) {
                ++plan.cards;
            } else {
                ++plan.folders;
            }
        }
        plan.question = format(strings.text(kDeleteFolderQuestion),
                               {static_cast<std::int64_t>(plan.folders), static_cast<std::int64_t>(plan.cards)});
        return plan;
    }
    if (item.type != tree_type::kCard) return plan;
    if (item.parentType == tree_type::kFavourites || item.parentType == tree_type::kSearchResults) {
        plan.kind = DeleteKind::RemoveFromList;
        plan.question = format(u"%s\n\n(%s)", {strings.text(kRemoveFromListQuestion), name});
        return plan;
    }
    const bool form = typeOf(wallet, liveParent(wallet, item.position)) == tree_type::kFormsFolder;
    plan.kind = form ? DeleteKind::Form : DeleteKind::Card;
    plan.question = format(u"%s\n\n(%s)", {strings.text(form ? kDeleteFormQuestion : kDeleteCardQuestion), name});
    return plan;
}

DeleteResult runDelete(WalletFile& wallet, const TreeItem& item, const DeletePlan& plan) {
    DeleteResult result;
    const SystemTime now = wallet.env().clock.localTime();
    switch (plan.kind) {
        case DeleteKind::ClearResults:
            wallet.searchResults() = SearchResults{};
            result.done = true;
            return result;
        case DeleteKind::ClearFavourites:
            wallet.settings().clearFavourites(now);
            result.done = true;
            return result;
        case DeleteKind::RemoveFromList: {
            if (!live(wallet, item.position)) return result;
            const auto position = static_cast<std::size_t>(item.position);
            if (item.parentType == tree_type::kFavourites) {
                result.done = wallet.settings().removeFavourite(wallet.index().at(position).id(), now);
            } else {
                auto& found = wallet.searchResults().positions;
                const auto it = std::find(found.begin(), found.end(), position);
                result.done = it != found.end();
                if (result.done) found.erase(it);
                if (found.empty()) wallet.searchResults() = SearchResults{};
            }
            return result;
        }
        case DeleteKind::Card:
        case DeleteKind::Form:
            if (live(wallet, item.position) && wallet.remove(static_cast<std::size_t>(item.position))) {
                result.removed.push_back(static_cast<std::size_t>(item.position));
                result.done = true;
            }
            return result;
        case DeleteKind::Folder: {
            if (!live(wallet, item.position)) return result;
            const std::vector<std::size_t> order = subtreeBottomUp(wallet, static_cast<std::size_t>(item.position));
            for (std::size_t at : order) {
                if (!wallet.remove(at)) {
                    result.partial = !result.removed.empty();
                    return result;
                }
                result.removed.push_back(at);
            }
            result.done = true;
            return result;
        }
        default:
            return result;
    }
}

// --- Favourites ----------------------------------------------------------------------------------

bool addFavourite(WalletFile& wallet, std::size_t position) {
    if (typeOf(wallet, static_cast<std::int64_t>(position)) != tree_type::kCard) return false;
    return wallet.settings().addFavourite(wallet.index().at(position).id(), wallet.env().clock.localTime());
}

// --- Find ------------------------------------------------------------------------------------------

FindOutcome runFind(WalletFile& wallet, std::u16string_view boxText, const LocalePatterns& locale,
                    std::uint32_t& clearType, std::uint32_t& openLast) {
    FindOutcome outcome;
    outcome.boxText = std::u16string(boxText);
    if (boxText.size() < 2) {
        outcome.kind = FindKind::TooShort;
        return outcome;
    }
    if (equalNoCase(boxText, u"::reset")) {
        outcome.kind = FindKind::Maintenance;
        outcome.resetSettings = true;
        return outcome;
    }
    if (equalNoCase(boxText, u"::cleartype")) {
        outcome.kind = FindKind::Maintenance;
        clearType = clearType != 0 ? 0 : 1;
        return outcome;
    }
    if (equalNoCase(boxText, u"::openlast")) {
        outcome.kind = FindKind::Maintenance;
        openLast = openLast != 0 ? 0 : 1;
        return outcome;
    }
    if (outcome.boxText.size() > kFindBoxLength) outcome.boxText.resize(kFindBoxLength);
    outcome.found = wallet.isOpen() ? searchCards(wallet, outcome.boxText, locale) : 0;
    outcome.kind = outcome.found > 0 ? FindKind::Found : FindKind::NothingFound;
    return outcome;
}

}  // namespace tw::app
