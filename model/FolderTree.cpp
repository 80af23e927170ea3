#include "model/FolderTree.h"

#include <algorithm>
#include <unordered_map>

#include "platform/Text.h"
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

void FolderTree::sortChildren(std::vector<std::size_t>& ids) {
    std::stable_sort(ids.begin(), ids.end(), [this](std::size_t a, std::size_t b) {
        const TreeNode& x = m_nodes[a];
        const TreeNode& y = m_nodes[b];
        return compareTreeEntries(x.type, x.label, y.type, y.label) < 0;
    });
}

FolderTree FolderTree::build(WalletFile& wallet) {
    FolderTree tree;
    const WalletIndex& index = wallet.index();
    const std::size_t n = index.count();
    tree.m_byPosition.assign(n, TreeNode::kNone);

    // The first live record of each identifier stands for it as a parent.
    std::unordered_map<RecordId, std::size_t, RecordIdHash> live;
    live.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        if (!index.at(i).deleted()) live.emplace(index.at(i).id(), i);
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
            const std::size_t parentId = tree.m_byPosition[live.at(parent)];
            tree.m_nodes[id].parent = parentId;
            tree.m_nodes[parentId].children.push_back(id);
        }
    }

    // The special entries.
    std::vector<std::int64_t> favourites;
    for (std::size_t slot = 0; slot < SettingsBlock::kFavouriteSlots; ++slot) {
        const RecordId id = wallet.settings().favourite(slot);
        if (id.isZero()) continue;
        const auto it = live.find(id);
        if (it != live.end()) favourites.push_back(static_cast<std::int64_t>(it->second));
    }
    addSpecial(WalletIndex::kFavouritesNode, tree_type::kFavourites, specialName(1), 1, favourites);
    const SearchResults& found = wallet.searchResults();
    if (!found.positions.empty()) {
        std::vector<std::int64_t> cards(found.positions.begin(), found.positions.end());
        addSpecial(WalletIndex::kSearchResultsNode, tree_type::kSearchResults,
                   specialName(2) + u" - '" + found.text + u"'", 2, cards);
    }

    // Depths, top-down (parents always precede their children in a pre-order pass), and sorting.
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
