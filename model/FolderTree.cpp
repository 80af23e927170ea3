#include "model/FolderTree.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

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

// Four folded code units of a name from `at`, the first in the high bits, zero past its end:
// unequal keys order two names as compareNoCase does from `at` on; equal keys say nothing.
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

// Levels this long and longer are sorted by their bytes (below, by comparisons).
constexpr std::size_t kRadixFrom = 64;

// Sorts by rank and key, keeping the order of equal ones: a stable pass per byte of the key from
// the lowest, then one by rank; a pass whose byte is the same throughout is skipped.
void radixSort(std::span<SortItem> items, std::vector<SortItem>& scratch) {
    constexpr int kPasses = 9;  // eight bytes of the key, then the rank
    auto digit = [](const SortItem& item, int pass) {
        return pass < 8 ? static_cast<std::uint8_t>(item.key >> (8 * pass)) : static_cast<std::uint8_t>(item.rank);
    };
    std::array<std::array<std::uint32_t, 256>, kPasses> counts{};
    for (const SortItem& item : items)
        for (int pass = 0; pass < kPasses; ++pass) ++counts[pass][digit(item, pass)];
    scratch.resize(items.size());
    SortItem* from = items.data();
    SortItem* to = scratch.data();
    for (int pass = 0; pass < kPasses; ++pass) {
        std::array<std::uint32_t, 256>& count = counts[pass];
        if (count[digit(from[0], pass)] == items.size()) continue;
        std::uint32_t sum = 0;
        for (std::uint32_t& c : count) sum += std::exchange(c, sum);
        for (std::size_t i = 0; i < items.size(); ++i) to[count[digit(from[i], pass)]++] = from[i];
        std::swap(from, to);
    }
    if (from != items.data()) std::copy(from, from + items.size(), items.data());
}

}  // namespace

void FolderTree::linkChildren(std::size_t sorted) {
    // Level 0 is the top, level id + 1 the children of node id. Counting the entries of each level
    // gives each level its place in m_links. The names are read in node order, which is mostly
    // the order they lie in memory; ties keep node order.
    const std::size_t count = m_nodes.size();
    const std::size_t levels = count + 1;
    auto levelOf = [&](std::size_t id) { return m_nodes[id].parent == TreeNode::kNone ? 0 : m_nodes[id].parent + 1; };
    auto name = [this](std::size_t id) { return sortedName(m_nodes[id].label); };
    auto isSorted = [sorted](std::size_t level) { return sorted == kEveryLevel || level == sorted; };
    std::vector<std::uint32_t> begin(levels + 1, 0);
    for (std::size_t id = 0; id < count; ++id) ++begin[levelOf(id) + 1];
    for (std::size_t level = 1; level <= levels; ++level) begin[level] += begin[level - 1];

    // Names of one folder often share their start ("Card 1", "Card 2", ...): each level's keys are
    // taken after what all its names share, so that most comparisons end at the keys.
    std::vector<std::uint32_t> first(levels, kNoNode);  // per level, its first node sorted by name
    std::vector<std::uint8_t> common(levels, 0);
    static_assert(kSortedNameLength <= 0xFF);
    for (std::size_t id = 0; id < count; ++id) {
        if (!sortedByName(rankOf(m_nodes[id].type))) continue;
        const std::size_t level = levelOf(id);
        if (!isSorted(level)) continue;
        const std::u16string_view n = name(id);
        if (first[level] == kNoNode) {
            first[level] = static_cast<std::uint32_t>(id);
            common[level] = static_cast<std::uint8_t>(n.size());
            continue;
        }
        const std::u16string_view f = name(first[level]);
        // Mostly the whole common start is the same code units.
        if (n.size() >= common[level] &&
            (common[level] == 0 || std::memcmp(n.data(), f.data(), common[level] * sizeof(char16_t)) == 0))
            continue;
        std::size_t same = 0;
        while (same < common[level] && same < n.size() && (n[same] == f[same] || fold(n[same]) == fold(f[same])))
            ++same;
        common[level] = static_cast<std::uint8_t>(same);
    }
    std::vector<SortItem> items(count);
    {
        std::vector<std::uint32_t> next(begin.begin(), begin.end() - 1);
        for (std::size_t id = 0; id < count; ++id) {
            const std::size_t level = levelOf(id);
            const int rank = rankOf(m_nodes[id].type);
            items[next[level]++] = {sortedByName(rank) && isSorted(level) ? keyAt(name(id), common[level]) : 0,
                                    static_cast<std::uint32_t>(id), static_cast<std::uint32_t>(rank)};
        }
    }

    m_links.resize(count);
    std::vector<SortItem> scratch;
    for (std::size_t level = 0; level < levels; ++level) {
        if (begin[level] == begin[level + 1]) continue;  // a card, or an empty folder: no children
        const std::span<SortItem> entries(items.data() + begin[level], begin[level + 1] - begin[level]);
        const std::size_t at = begin[level];
        // The found cards stay in the order the find met them (file order).
        if (entries.size() > 1 && isSorted(level) &&
            !(level > 0 && m_nodes[level - 1].type == tree_type::kSearchResults)) {
            const std::size_t skip = common[level];
            auto less = [&](const SortItem& a, const SortItem& b) {
                if (a.rank != b.rank) return a.rank < b.rank;
                if (a.key != b.key) return a.key < b.key;
                if (sortedByName(static_cast<int>(a.rank))) {
                    const int order = compareNoCase(name(a.id).substr(skip), name(b.id).substr(skip));
                    if (order != 0) return order < 0;
                }
                return a.id < b.id;
            };
            if (entries.size() < kRadixFrom) {
                std::sort(entries.begin(), entries.end(), less);
            } else {
                // Then the runs of equal keys by their whole names (the runs are in node order).
                radixSort(entries, scratch);
                for (auto run = entries.begin(); run != entries.end();) {
                    auto end = run + 1;
                    while (end != entries.end() && end->rank == run->rank && end->key == run->key) ++end;
                    if (end - run > 1 && sortedByName(static_cast<int>(run->rank))) std::sort(run, end, less);
                    run = end;
                }
            }
        }
        for (std::size_t i = 0; i < entries.size(); ++i) m_links[at + i] = entries[i].id;
        const std::span<const std::size_t> ids(m_links.data() + at, entries.size());
        if (level == 0)
            m_top = ids;
        else
            m_nodes[level - 1].children = ids;
    }
}

FolderTree FolderTree::build(WalletFile& wallet) {
    return build(wallet, true, -1);
}

FolderTree FolderTree::buildLevel(WalletFile& wallet, std::int64_t position) {
    return build(wallet, false, position);
}

FolderTree FolderTree::build(WalletFile& wallet, bool every, std::int64_t sortedPosition) {
    FolderTree tree;
    const WalletIndex& index = wallet.index();
    const std::size_t n = index.count();
    tree.m_byPosition.assign(n, kNoNode);
    tree.m_labels.reserve(3);  // the recovered, favourites and find-results entries
    // Every live record, the special entries and the favourites' and found cards' copies (room
    // that deleted records leave is never touched).
    std::vector<TreeNode>& nodes = tree.m_nodes;
    nodes.reserve(n + 3 + SettingsBlock::kFavouriteSlots + wallet.searchResults().positions.size());

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
            if (isLiveCard(card)) {
                nodes.push_back(recordNode(static_cast<std::size_t>(card), special));
                nodes.back().depth = 1;
            }
    };
    auto specialName = [&](int slot) {
        std::u16string name;
        std::uint32_t icon = 0;
        if (!wallet.keys().readSpecial(slot, name, icon)) name.clear();
        return name;
    };

    // Records: nodes in index order, the order of ties, each under the first live record with its
    // parent's identifier (WalletIndex::findLive). The index is read once: its parent's position
    // goes into each node first, and the parent's node once every record has its node.
    constexpr std::size_t kMissing = TreeNode::kNone - 1;  // while building: the parent is not live
    // Most records share their parent with many others: parents found are kept in a small table
    // by their identifier's hash, and asked first.
    struct KnownParent {
        RecordId id{};
        std::size_t position = TreeNode::kNone;  // kNone: the slot is empty
    };
    std::array<KnownParent, 256> known{};
    for (std::size_t i = 0; i < n; ++i) {
        const IndexEntry& h = index.at(i);
        if (h.deleted()) continue;
        tree.m_byPosition[i] = static_cast<std::uint32_t>(nodes.size());
        std::size_t parent = TreeNode::kNone;
        if (!h.parent().isZero()) {
            KnownParent& slot = known[RecordIdHash{}(h.parent()) % known.size()];
            if (slot.position == TreeNode::kNone || slot.id != h.parent()) {
                const std::int64_t at = index.findLive(h.parent());
                slot = {h.parent(), at < 0 ? kMissing : static_cast<std::size_t>(at)};
            }
            parent = slot.position;
        }
        nodes.push_back(recordNode(i, parent));
    }
    const std::size_t records = nodes.size();
    for (std::size_t id = 0; id < records; ++id) {
        std::size_t& parent = nodes[id].parent;
        if (parent != TreeNode::kNone && parent != kMissing) parent = tree.m_byPosition[parent];
    }

    // Depths, following each chain of parents once. A chain that ends at a missing parent or runs
    // into a loop means that the top level does not reach every record.
    constexpr std::size_t kUnknown = TreeNode::kNone;
    constexpr std::size_t kVisiting = TreeNode::kNone - 1;
    for (std::size_t id = 0; id < records; ++id) nodes[id].depth = kUnknown;
    bool reached = true;
    std::vector<std::size_t> chain;
    for (std::size_t id = 0; id < records && reached; ++id) {
        chain.clear();
        std::size_t depth = 0;
        for (std::size_t at = id;;) {
            TreeNode& node = nodes[at];
            if (node.depth < kVisiting) {
                depth = node.depth + 1;
                break;
            }
            if (node.depth == kVisiting || node.parent == kMissing) {
                reached = false;
                break;
            }
            node.depth = kVisiting;
            chain.push_back(at);
            if (node.parent == TreeNode::kNone) break;
            at = node.parent;
        }
        for (auto at = chain.rbegin(); reached && at != chain.rend(); ++at) nodes[*at].depth = depth++;
    }
    // Else the live records that the top level does not reach hang from the recovered entry, each
    // chain under the record that heads it; the depths are taken from the tree once it is linked.
    if (!reached) {
        const std::size_t recovered = addSpecial(WalletIndex::kRecoveredNode, tree_type::kRecovered,
                                                 wallet.env().strings.text(tree_text::kRecovered), kRecoveredIcon);
        for (std::size_t position : reachability(index).unhomed) nodes[tree.m_byPosition[position]].parent = recovered;
        for (std::size_t id = 0; id < records; ++id) {
            nodes[id].depth = 0;
            if (nodes[id].parent == kMissing) nodes[id].parent = recovered;  // not met: such a record heads its chain
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

    std::size_t sorted = kEveryLevel;
    if (!every && sortedPosition < 0) {
        sorted = 0;
    } else if (!every) {
        // A record that is not in the tree has no level to sort: no level is kEveryLevel - 1.
        const std::optional<std::size_t> id = tree.find(sortedPosition);
        sorted = id ? *id + 1 : kEveryLevel - 1;
    }
    tree.linkChildren(sorted);
    if (!reached) {
        // Top-down: a pre-order pass meets every parent before its children.
        tree.walk(TreeNode::kNone, [&nodes](std::size_t id) {
            TreeNode& node = nodes[id];
            if (node.parent != TreeNode::kNone) node.depth = nodes[node.parent].depth + 1;
        });
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
    const std::uint32_t id = m_byPosition[static_cast<std::size_t>(position)];
    if (id == kNoNode) return std::nullopt;
    return id;
}

}  // namespace tw
