#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
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
    int type = 0;          // tree_type
    std::u16string label;  // the record's name; a special entry's label
    // Icon number: 0-143 built-in, -1 the record's own custom icon, other values as stored.
    // A view shows icon number n as image-list entry n + 4.
    std::int32_t icon = 0;
    std::size_t parent = kNone;         // kNone at the top level
    std::size_t depth = 0;              // 0 at the top level
    std::vector<std::size_t> children;  // sorted

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
class FolderTree {
public:
    static FolderTree build(WalletFile& wallet);

    const std::vector<std::size_t>& top() const { return m_top; }
    // REQUIRES: id < size().
    const TreeNode& node(std::size_t id) const { return m_nodes[id]; }
    std::size_t size() const { return m_nodes.size(); }

    // The node of a record in the folder tree proper (not its copies under the special
    // entries), or of a special entry by its virtual position.
    std::optional<std::size_t> find(std::int64_t position) const;

    // Visits `start` and everything below it in pre-order, without recursion. With kNone,
    // visits the whole tree from its first top-level entry.
    void walk(std::size_t start, const std::function<void(std::size_t id)>& visit) const;

private:
    std::size_t add(TreeNode node);
    // Sorts by compareTreeEntries, through the sort keys made once per node.
    void sortChildren(std::vector<std::size_t>& ids);
    void makeSortKeys();

    std::vector<TreeNode> m_nodes;
    std::vector<std::size_t> m_top;
    std::vector<std::size_t> m_byPosition;  // index position -> node, kNone when not shown
    // While building: per node its rank among the types and where its case-folded sort name
    // lies in m_keyText.
    struct SortKey {
        std::uint32_t at = 0;
        std::uint8_t length = 0;
        std::uint8_t rank = 0;
        bool byName = false;
    };
    std::vector<SortKey> m_keys;
    std::u16string m_keyText;
};

}  // namespace tw
