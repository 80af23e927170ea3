#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

class WalletFile;

// Type codes of tree entries: the record types, and the special entries.
namespace tree_type {
constexpr int kCard = 1;
constexpr int kFolder = 2;
constexpr int kFormsFolder = 3;
constexpr int kFavourites = 100;
constexpr int kSearchResults = 200;
constexpr int kThird = 300;
constexpr int kRecovered = 400;  // records whose folder is missing
}  // namespace tree_type

namespace tree_text {
constexpr std::uint32_t kRecovered = 20520;  // the label of the entry of records whose folder is missing
}  // namespace tree_text

// The recovered entry's icon: a folder.
constexpr std::int32_t kRecoveredIcon = 72;

// One entry of the folder tree. Nodes live in one flat table; links are table positions.
struct TreeNode {
    static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

    // The record's index position, or the virtual position of a special entry
    // (WalletIndex::kFavouritesNode, kSearchResultsNode, kRecoveredNode).
    std::int64_t position = -1;
    int type = 0;  // tree_type
    // Icon number: 0-143 built-in, -1 the record's own custom icon, other values as stored.
    // A view shows icon number n as image-list entry n + 4.
    std::int32_t icon = 0;
    // The record's name (a view of the wallet index's copy); a special entry's label (held by the
    // tree).
    std::u16string_view label;
    std::size_t parent = kNone;             // kNone at the top level
    std::size_t depth = 0;                  // 0 at the top level
    std::span<const std::size_t> children;  // sorted; held by the tree

    bool isSpecial() const { return type >= tree_type::kFavourites; }
    bool isFolder() const { return type == tree_type::kFolder || type == tree_type::kFormsFolder; }
};

// The sort order of entries that share a parent: the find-results entry first, then the
// favourites entry, then cards, then folders, forms folders, and the recovered entry last. Cards among themselves and
// folders among themselves go by the first 63 characters of their names, without regard to
// case. Returns <0, 0 or >0. Entries of other types (the third entry) go between the folders and
// the forms folders, so that the order stays a strict weak ordering.
int compareTreeEntries(int typeA, std::u16string_view labelA, int typeB, std::u16string_view labelB);

// The folder tree of an open wallet, as the main window and the export show it:
//   - every live record whose chain of parents reaches the top level through live records, under
//     its parent (a chain stored children-first is shown complete; deleted records never are);
//   - when some live records cannot be reached that way (their parent is missing or deleted, or
//     they form a loop of parents), the recovered entry at the top, labelled by string 20520:
//     under it the record heading each such chain (see reachability()), with what lies below it;
//   - the favourites entry at the top, always: labelled and iconed by special entry 1, holding
//     one entry per favourites slot that names a live card;
//   - the find-results entry at the top when the last find found something: labelled with
//     special entry 2's name, " - '", the find text and "'", holding the found live cards in the
//     order of the find result (file order);
//   - every other node's children sorted by compareTreeEntries (ties keep index or list order).
// The third special entry is never shown. Building the tree changes nothing in the wallet. The
// tree is a snapshot: rebuild it after a change.
//
// The records' labels view the names in the wallet's index: a tree is valid while its wallet stays
// open and unchanged. Moving a tree keeps its nodes' views valid; it is not copied.
class FolderTree {
public:
    static FolderTree build(WalletFile& wallet);
    // The same tree with only one level sorted: the children of the record at index position
    // `position`, or the top level with -1. Every other level lists its entries in index order.
    // For a listing of that level alone.
    static FolderTree buildLevel(WalletFile& wallet, std::int64_t position);

    FolderTree(FolderTree&&) = default;
    FolderTree& operator=(FolderTree&&) = default;
    FolderTree(const FolderTree&) = delete;
    FolderTree& operator=(const FolderTree&) = delete;

    std::span<const std::size_t> top() const { return m_top; }
    // REQUIRES: id < size().
    const TreeNode& node(std::size_t id) const { return m_nodes[id]; }
    std::size_t size() const { return m_nodes.size(); }

    // The node of a record in the folder tree proper (not its copies under the special
    // entries), or of a special entry by its virtual position.
    std::optional<std::size_t> find(std::int64_t position) const;

    // Calls visit(id) for `start` and everything below it in pre-order, without recursion. With
    // kNone, visits the whole tree from its first top-level entry.
    template <class Visit>
    void walk(std::size_t start, Visit&& visit) const {
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
            const std::span<const std::size_t> children = m_nodes[id].children;
            stack.insert(stack.end(), children.rbegin(), children.rend());
        }
    }

private:
    // Levels: 0 is the top level, id + 1 the children of node id.
    static constexpr std::size_t kEveryLevel = std::numeric_limits<std::size_t>::max();

    FolderTree() = default;
    // `sortedPosition`: the record whose children are sorted, -1 for the top level; with `every`,
    // all levels are.
    static FolderTree build(WalletFile& wallet, bool every, std::int64_t sortedPosition);
    // Links every node to its parent's children in the flat table, the level `sorted` (or every
    // level) sorted by compareTreeEntries (ties in node order), the others and the found cards in
    // node order.
    void linkChildren(std::size_t sorted);

    std::vector<TreeNode> m_nodes;
    std::span<const std::size_t> m_top;
    // Every node's children, level after level; the top level first.
    std::vector<std::size_t> m_links;
    std::vector<std::uint32_t> m_byPosition;  // index position -> node, kNoNode when not shown
    // The special entries' labels (their addresses stay put when the tree is moved).
    std::vector<std::u16string> m_labels;
};

}  // namespace tw
