#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <unordered_map>
#include <vector>

#include "storage/RecordHeader.h"

namespace tw {

struct RecordIdHash {
    std::size_t operator()(const RecordId& id) const {
        std::uint64_t a = 0;
        std::uint64_t b = 0;
        std::memcpy(&a, id.bytes.data(), 8);
        std::memcpy(&b, id.bytes.data() + 8, 8);
        return static_cast<std::size_t>((a ^ (b * 0x9e3779b97f4a7c15ULL)) * 0xbf58476d1ce4e5b9ULL >> 7);
    }
};

// The in-memory index of an open wallet's record headers. Positions are stable while the wallet
// is open: a record written again replaces its entry in place, and a deleted record keeps its
// entry with the deleted mark set. Entries are stored in blocks (references to them stay valid
// while entries are added) and found by identifier through a hash table; an entry's identifier
// is never changed in place.
class WalletIndex {
public:
    static constexpr std::size_t kInitialCapacity = 4096;
    static constexpr std::size_t kGrowth = 1024;

    // Virtual positions naming the tree's special entries, and their type codes.
    static constexpr std::int64_t kFavouritesNode = 0x10000000;
    static constexpr std::int64_t kSearchResultsNode = 0x20000000;
    static constexpr std::int64_t kThirdNode = 0x40000000;
    // The tree's entry for records whose folder is missing (type code 400).
    static constexpr std::int64_t kRecoveredNode = 0x08000000;

    WalletIndex() = default;

    std::size_t count() const { return m_entries.size(); }
    std::size_t capacity() const { return m_capacity; }
    RecordHeader& at(std::size_t position) { return m_entries[position]; }
    const RecordHeader& at(std::size_t position) const { return m_entries[position]; }

    // Replaces the entry with the same identifier, else appends (growing the capacity by 1024
    // when full). Returns the position.
    std::size_t put(const RecordHeader& header);
    // Appends without looking for an existing entry.
    std::size_t append(const RecordHeader& header);
    void clear();

    // Lookups; -1 when there is none.
    std::int64_t find(const RecordId& id) const;
    std::int64_t parentOf(std::int64_t position) const;
    // The folder (type 2 or 3) that holds the entry.
    std::int64_t folderOf(std::int64_t position) const;
    std::int64_t formsFolder() const;
    // 100, 200, 300, 400 for the special entries; the record type's number for a real position; 0
    // else.
    int typeCode(std::int64_t position) const;

private:
    void grow();

    std::deque<RecordHeader> m_entries;
    // The first entry with each identifier.
    std::unordered_map<RecordId, std::size_t, RecordIdHash> m_positions;
    std::size_t m_capacity = kInitialCapacity;
};

// Which live records the folder tree reaches from the top level. A live record stands for its
// identifier as a parent when it is the first live one with it.
struct Reachability {
    // By index position: live, and every parent up to the top level live.
    std::vector<bool> reachable;
    // In index order, the live records that are not reachable and head their chain: the parent is
    // missing or deleted, or, for a loop of parents, its first record in index order. Every other
    // unreachable record lies below one of them.
    std::vector<std::size_t> unhomed;
};
Reachability reachability(const WalletIndex& index);

}  // namespace tw
