#include "model/FolderTree.h"

#include <algorithm>

#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/WalletFile.h"

namespace tw {
namespace {

constexpr std::size_t kSortedNameLength = 63;

int rankOf(int type) {
    switch (type) {
        case tree_type::kSearchResults:
            return 0;
        case tree_type::kFavourites:
            return 1;
        case tree_type::kCard:
            return 2;
        case tree_type::kFolder:
            return 3;
        case tree_type::kFormsFolder:
            return 5;
        case tree_type::kRecovered:
            return 6;
        default:
            return 4;
    }
}

}  // namespace

int compareTreeEntries(int typeA, std::u16string_view labelA, int typeB, std::u16string_view labelB) {
    const int ra = rankOf(typeA);
    const int rb = rankOf(typeB);
    if (ra != rb) return ra < rb ? -1 : 1;
    if (typeA != tree_type::kCard && typeA != tree_type::kFolder) return 0;
    return compareNoCase(labelA.substr(0, kSortedNameLength), labelB.substr(0, kSortedNameLength));
}

std::size_t FolderTree::add(TreeNode node) {
    m_nodes.push_back(std::move(node));
    return m_nodes.size() - 1;
}

void FolderTree::makeSortKeys() {
    m_keys.assign(m_nodes.size(), SortKey{});
    m_keyText.clear();
    std::size_t total = 0;
    for (const TreeNode& node : m_nodes) total += std::min(node.label.size(), kSortedNameLength);
    m_keyText.reserve(total);
    for (std::size_t i = 0; i < m_nodes.size(); ++i) {
        const TreeNode& node = m_nodes[i];
        SortKey& key = m_keys[i];
        key.rank = static_cast<std::uint8_t>(rankOf(node.type));
        key.byName = node.type == tree_type::kCard || node.type == tree_type::kFolder;
        if (!key.byName) continue;
        const std::size_t length = std::min(node.label.size(), kSortedNameLength);
        key.at = static_cast<std::uint32_t>(m_keyText.size());
        key.length = static_cast<std::uint8_t>(length);
        for (std::size_t c = 0; c < length; ++c) m_keyText.push_back(foldCase(node.label[c]));
    }
}

void FolderTree::sortChildren(std::vector<std::size_t>& ids) {
    // The same order as compareTreeEntries: folded code units compared one by one, then lengths.
    const std::u16string_view text = m_keyText;
    std::stable_sort(ids.begin(), ids.end(), [this, text](std::size_t a, std::size_t b) {
        const SortKey& x = m_keys[a];
        const SortKey& y = m_keys[b];
        if (x.rank != y.rank) return x.rank < y.rank;
        if (!x.byName) return false;
        return text.substr(x.at, x.length) < text.substr(y.at, y.length);
    });
}

FolderTree FolderTree::build(WalletFile& wallet) {
    FolderTree tree;
    const WalletIndex& index = wallet.index();
    const std::size_t n = index.count();
    tree.m_byPosition.assign(n, TreeNode::kNone);
    // Every record, the special entries and the favourites' and found cards' copies.
    tree.m_nodes.reserve(n + 3 + SettingsBlock::kFavouriteSlots + wallet.searchResults().positions.size());

    // The first live record of each identifier stands for it as a parent (WalletIndex::findLive).
    const Reachability reach = reachability(index);
    std::vector<bool> unhomed(n, false);
    for (std::size_t i : reach.unhomed) unhomed[i] = true;

    auto recordNode = [&](std::size_t position) {
        const IndexEntry& h = index.at(position);
        TreeNode node;
        node.position = static_cast<std::int64_t>(position);
        node.type = static_cast<int>(h.type());
        node.label = wallet.nameOf(position);
        node.icon = h.iconIndex();
        return node;
    };
    auto isLiveCard = [&](std::int64_t position) {
        return position >= 0 && static_cast<std::size_t>(position) < n &&
               index.at(static_cast<std::size_t>(position)).type() == RecordType::Card &&
               !index.at(static_cast<std::size_t>(position)).deleted();
    };
    auto addSpecial = [&](std::int64_t position, int type, std::u16string label, int slot,
                          const std::vector<std::int64_t>& cards) {
        TreeNode node;
        node.position = position;
        node.type = type;
        node.label = std::move(label);
        node.icon = static_cast<std::int32_t>(wallet.keys().specialIcon(slot));
        const std::size_t id = tree.add(std::move(node));
        tree.m_top.push_back(id);
        for (std::int64_t card : cards) {
            if (!isLiveCard(card)) continue;
            TreeNode child = recordNode(static_cast<std::size_t>(card));
            child.parent = id;
            child.depth = 1;
            const std::size_t childId = tree.add(std::move(child));
            tree.m_nodes[id].children.push_back(childId);
        }
    };
    auto specialName = [&](int slot) {
        std::u16string name;
        std::uint32_t icon = 0;
        if (!wallet.keys().readSpecial(slot, name, icon)) name.clear();
        return name;
    };

    // Records: nodes in index order, so children are linked in index order before sorting. Live
    // records the top level does not reach hang from the recovered entry, each chain under the
    // record that heads it.
    for (std::size_t i = 0; i < n; ++i)
        if (!index.at(i).deleted()) tree.m_byPosition[i] = tree.add(recordNode(i));
    std::size_t recovered = TreeNode::kNone;
    if (!reach.unhomed.empty()) {
        TreeNode node;
        node.position = WalletIndex::kRecoveredNode;
        node.type = tree_type::kRecovered;
        node.label = wallet.env().strings.text(tree_text::kRecovered);
        node.icon = kRecoveredIcon;
        recovered = tree.add(std::move(node));
        tree.m_top.push_back(recovered);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t id = tree.m_byPosition[i];
        if (id == TreeNode::kNone) continue;
        const RecordId parent = index.at(i).parent();
        if (unhomed[i]) {
            tree.m_nodes[id].parent = recovered;
            tree.m_nodes[recovered].children.push_back(id);
        } else if (parent.isZero()) {
            tree.m_top.push_back(id);
        } else {
            const std::size_t parentId = tree.m_byPosition[static_cast<std::size_t>(index.findLive(parent))];
            tree.m_nodes[id].parent = parentId;
            tree.m_nodes[parentId].children.push_back(id);
        }
    }

    // The special entries.
    std::vector<std::int64_t> favourites;
    for (std::size_t slot = 0; slot < SettingsBlock::kFavouriteSlots; ++slot) {
        const RecordId id = wallet.settings().favourite(slot);
        if (id.isZero()) continue;
        const std::int64_t at = index.findLive(id);
        if (at >= 0) favourites.push_back(at);
    }
    addSpecial(WalletIndex::kFavouritesNode, tree_type::kFavourites, specialName(1), 1, favourites);
    const SearchResults& found = wallet.searchResults();
    if (!found.positions.empty()) {
        std::vector<std::int64_t> cards(found.positions.begin(), found.positions.end());
        addSpecial(WalletIndex::kSearchResultsNode, tree_type::kSearchResults,
                   specialName(2) + u" - '" + found.text + u"'", 2, cards);
    }

    // Depths, top-down (parents always precede their children in a pre-order pass), and sorting.
    tree.makeSortKeys();
    tree.sortChildren(tree.m_top);
    std::vector<std::size_t> stack(tree.m_top.rbegin(), tree.m_top.rend());
    while (!stack.empty()) {
        const std::size_t id = stack.back();
        stack.pop_back();
        TreeNode& node = tree.m_nodes[id];
        if (node.parent != TreeNode::kNone) node.depth = tree.m_nodes[node.parent].depth + 1;
        // The found cards stay in the order the find met them (file order); every other level is sorted.
        if (node.type != tree_type::kSearchResults) tree.sortChildren(node.children);
        stack.insert(stack.end(), node.children.rbegin(), node.children.rend());
    }
    tree.m_keys = {};
    wipe(tree.m_keyText.data(), tree.m_keyText.size() * sizeof(char16_t));
    tree.m_keyText = {};
    return tree;
}

std::optional<std::size_t> FolderTree::find(std::int64_t position) const {
    if (position == WalletIndex::kFavouritesNode || position == WalletIndex::kSearchResultsNode ||
        position == WalletIndex::kRecoveredNode) {
        for (std::size_t id : m_top)
            if (m_nodes[id].position == position) return id;
        return std::nullopt;
    }
    if (position < 0 || static_cast<std::size_t>(position) >= m_byPosition.size()) return std::nullopt;
    const std::size_t id = m_byPosition[static_cast<std::size_t>(position)];
    if (id == TreeNode::kNone) return std::nullopt;
    return id;
}

void FolderTree::walk(std::size_t start, const std::function<void(std::size_t id)>& visit) const {
    std::vector<std::size_t> stack;
    if (start == TreeNode::kNone) {
        stack.assign(m_top.rbegin(), m_top.rend());
    } else if (start < m_nodes.size()) {
        stack.push_back(start);
    }
    while (!stack.empty()) {
        const std::size_t id = stack.back();
        stack.pop_back();
        visit(id);
        const std::vector<std::size_t>& children = m_nodes[id].children;
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
}

}  // namespace tw
