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

namespace {

constexpr std::uint32_t kNoNode = ~std::uint32_t{0};

bool sortedByName(int rank) {
    return rank == rankOf(tree_type::kCard) || rank == rankOf(tree_type::kFolder);
}

// foldCase, with the common case kept short.
inline char16_t fold(char16_t c) {
    if (c < 0x80) return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
    return foldCase(c);
}

// The part of a name that the order looks at.
std::u16string_view sortedName(std::u16string_view label) {
    return label.substr(0, kSortedNameLength);
}

// compareNoCase of two sorted names.
int compareFolded(std::u16string_view a, std::u16string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t x = fold(a[i]);
        const char16_t y = fold(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

// Four folded code units of a name from `at`, the first in the high bits, zero past its end:
// unequal keys order two names as compareFolded does from `at` on; equal keys say nothing.
std::uint64_t keyAt(std::u16string_view name, std::size_t at) {
    std::uint64_t key = 0;
    for (std::size_t i = at; i < at + 4; ++i) key = key << 16 | (i < name.size() ? fold(name[i]) : 0u);
    return key;
}

// One entry of a level while the level is sorted.
struct SortItem {
    std::uint64_t key = 0;  // keyAt(name, the level's common prefix); 0 for entries not sorted by name
    std::uint32_t id = 0;
    std::uint32_t rank = 0;
};

}  // namespace

void FolderTree::linkChildren() {
    // Counting the entries of each level gives each its place in m_links; level 0 is the top,
    // level id + 1 the children of node id. Nodes go in in node order, which is then the order of
    // ties.
    const std::size_t count = m_nodes.size();
    std::vector<std::uint32_t> begin(count + 2, 0);
    auto levelOf = [&](std::size_t id) { return m_nodes[id].parent == TreeNode::kNone ? 0 : m_nodes[id].parent + 1; };
    for (std::size_t id = 0; id < count; ++id) ++begin[levelOf(id) + 1];
    for (std::size_t level = 1; level < begin.size(); ++level) begin[level] += begin[level - 1];
    m_links.resize(count);
    {
        std::vector<std::uint32_t> next(begin.begin(), begin.end() - 1);
        for (std::size_t id = 0; id < count; ++id) m_links[next[levelOf(id)]++] = id;
    }

    std::vector<SortItem> items;
    auto name = [this](std::uint32_t id) { return sortedName(m_nodes[id].label); };
    for (std::size_t level = 0; level + 1 < begin.size(); ++level) {
        const std::span<std::size_t> ids(m_links.data() + begin[level], begin[level + 1] - begin[level]);
        if (level > 0) m_nodes[level - 1].children = ids;
        // The found cards stay in the order the find met them (file order).
        if (ids.size() < 2 || (level > 0 && m_nodes[level - 1].type == tree_type::kSearchResults)) continue;

        // Names of one folder often share their start ("Card 1", "Card 2", ...): the keys are taken
        // after what all of them share, so that most comparisons end at the keys.
        items.resize(ids.size());
        std::size_t common = kSortedNameLength;
        std::u16string_view first;
        bool any = false;
        for (std::size_t i = 0; i < ids.size(); ++i) {
            const auto id = static_cast<std::uint32_t>(ids[i]);
            items[i] = {0, id, static_cast<std::uint32_t>(rankOf(m_nodes[id].type))};
            if (!sortedByName(static_cast<int>(items[i].rank))) continue;
            const std::u16string_view n = name(id);
            if (!any) {
                first = n;
                common = n.size();
                any = true;
                continue;
            }
            std::size_t same = 0;
            while (same < common && same < n.size() && fold(n[same]) == fold(first[same])) ++same;
            common = same;
        }
        for (SortItem& item : items)
            if (sortedByName(static_cast<int>(item.rank))) item.key = keyAt(name(item.id), common);
        std::sort(items.begin(), items.end(), [&](const SortItem& a, const SortItem& b) {
            if (a.rank != b.rank) return a.rank < b.rank;
            if (a.key != b.key) return a.key < b.key;
            if (sortedByName(static_cast<int>(a.rank))) {
                const int order = compareFolded(name(a.id).substr(common), name(b.id).substr(common));
                if (order != 0) return order < 0;
            }
            return a.id < b.id;
        });
        for (std::size_t i = 0; i < ids.size(); ++i) ids[i] = items[i].id;
    }
    m_top = std::span<const std::size_t>(m_links.data() + begin[0], begin[1] - begin[0]);
}

FolderTree FolderTree::build(WalletFile& wallet) {
    FolderTree tree;
    const WalletIndex& index = wallet.index();
    const std::size_t n = index.count();
    tree.m_byPosition.assign(n, kNoNode);
    tree.m_labels.reserve(3);  // the recovered, favourites and find-results entries
    std::size_t live = 0;
    for (std::size_t i = 0; i < n; ++i) live += index.at(i).deleted() ? 0 : 1;
    // Every live record, the special entries and the favourites' and found cards' copies.
    std::vector<TreeNode>& nodes = tree.m_nodes;
    nodes.reserve(live + 3 + SettingsBlock::kFavouriteSlots + wallet.searchResults().positions.size());

    // The first live record of each identifier stands for it as a parent (WalletIndex::findLive).
    const Reachability reach = reachability(index);

    auto recordNode = [&](std::size_t position, std::size_t parent) {
        const IndexEntry& h = index.at(position);
        TreeNode node;
        node.position = static_cast<std::int64_t>(position);
        node.type = static_cast<int>(h.type());
        node.icon = h.iconIndex();
        node.label = h.nameView();
        node.parent = parent;
        return node;
    };
    auto isLiveCard = [&](std::int64_t position) {
        return position >= 0 && static_cast<std::size_t>(position) < n &&
               index.at(static_cast<std::size_t>(position)).type() == RecordType::Card &&
               !index.at(static_cast<std::size_t>(position)).deleted();
    };
    auto addSpecial = [&](std::int64_t position, int type, std::u16string label, std::int32_t icon) {
        tree.m_labels.push_back(std::move(label));
        TreeNode node;
        node.position = position;
        node.type = type;
        node.icon = icon;
        node.label = tree.m_labels.back();
        nodes.push_back(node);
        return nodes.size() - 1;
    };
    auto addCopies = [&](std::size_t special, const std::vector<std::int64_t>& cards) {
        for (std::int64_t card : cards)
            if (isLiveCard(card)) nodes.push_back(recordNode(static_cast<std::size_t>(card), special));
    };
    auto specialName = [&](int slot) {
        std::u16string name;
        std::uint32_t icon = 0;
        if (!wallet.keys().readSpecial(slot, name, icon)) name.clear();
        return name;
    };

    // Records: nodes in index order, the order of ties. Live records the top level does not reach
    // hang from the recovered entry, each chain under the record that heads it.
    for (std::size_t i = 0; i < n; ++i) {
        if (index.at(i).deleted()) continue;
        tree.m_byPosition[i] = static_cast<std::uint32_t>(nodes.size());
        nodes.push_back(recordNode(i, TreeNode::kNone));
    }
    const std::size_t records = nodes.size();
    std::size_t recovered = TreeNode::kNone;
    if (!reach.unhomed.empty())
        recovered = addSpecial(WalletIndex::kRecoveredNode, tree_type::kRecovered,
                               wallet.env().strings.text(tree_text::kRecovered), kRecoveredIcon);
    auto unhomed = reach.unhomed.begin();  // in index order, as the nodes
    // Records of one folder mostly lie together: the last parent found is asked first.
    RecordId lastParent{};
    std::size_t lastParentNode = TreeNode::kNone;
    for (std::size_t id = 0; id < records; ++id) {
        TreeNode& node = nodes[id];
        const auto position = static_cast<std::size_t>(node.position);
        if (unhomed != reach.unhomed.end() && *unhomed == position) {
            node.parent = recovered;
            ++unhomed;
            continue;
        }
        const RecordId& parent = index.at(position).parent();
        if (parent.isZero()) continue;
        if (lastParentNode == TreeNode::kNone || parent != lastParent) {
            lastParent = parent;
            lastParentNode = tree.m_byPosition[static_cast<std::size_t>(index.findLive(parent))];
        }
        node.parent = lastParentNode;
    }

    // The special entries.
    std::vector<std::int64_t> favourites;
    for (std::size_t slot = 0; slot < SettingsBlock::kFavouriteSlots; ++slot) {
        const RecordId id = wallet.settings().favourite(slot);
        if (id.isZero()) continue;
        const std::int64_t at = index.findLive(id);
        if (at >= 0) favourites.push_back(at);
    }
    const std::size_t favouritesNode = addSpecial(WalletIndex::kFavouritesNode, tree_type::kFavourites, specialName(1),
                                                  static_cast<std::int32_t>(wallet.keys().specialIcon(1)));
    const SearchResults& found = wallet.searchResults();
    std::size_t foundNode = TreeNode::kNone;
    if (!found.positions.empty())
        foundNode = addSpecial(WalletIndex::kSearchResultsNode, tree_type::kSearchResults,
                               specialName(2) + u" - '" + found.text + u"'",
                               static_cast<std::int32_t>(wallet.keys().specialIcon(2)));
    addCopies(favouritesNode, favourites);
    if (foundNode != TreeNode::kNone)
        addCopies(foundNode, std::vector<std::int64_t>(found.positions.begin(), found.positions.end()));

    tree.linkChildren();
    // Depths, top-down: a pre-order pass meets every parent before its children.
    tree.walk(TreeNode::kNone, [&nodes](std::size_t id) {
        TreeNode& node = nodes[id];
        if (node.parent != TreeNode::kNone) node.depth = nodes[node.parent].depth + 1;
    });
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
    const std::uint32_t id = m_byPosition[static_cast<std::size_t>(position)];
    if (id == kNoNode) return std::nullopt;
    return id;
}

}  // namespace tw
