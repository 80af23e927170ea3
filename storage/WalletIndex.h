#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "storage/RecordHeader.h"

namespace tw {

struct RecordIdHash {
    std::size_t operator()(const RecordId& id) const {
        std::uint64_t a = 0;
        std::uint64_t b = 0;
        std::memcpy(&a, id.bytes.data(), 8);
        std::memcpy(&b, id.bytes.data() + 8, 8);
        // Every byte reaches every bit of the result, low bits included (the open-addressing
        // table takes the low bits): identifiers that differ in a few bytes only spread out.
        std::uint64_t h = a * 0x9e3779b97f4a7c15ULL ^ (b + 0x632be59bd9b4e019ULL);
        h ^= h >> 31;
        h *= 0xbf58476d1ce4e5b9ULL;
        h ^= h >> 29;
        h *= 0x94d049bb133111ebULL;
        h ^= h >> 32;
        return static_cast<std::size_t>(h);
    }
};

// What the index keeps of one record: the header fields that commands use without the body,
// where the record starts in the file, and its name, deciphered once. The whole header (with
// its custom icon data) is read from the file when it is needed (WalletFile::headerAt).
class IndexEntry {
public:
    static constexpr std::uint64_t kNoOffset = ~std::uint64_t{0};

    RecordType type() const { return static_cast<RecordType>(m_type); }
    bool deleted() const { return m_deleted != 0; }
    const RecordId& id() const { return m_id; }
    const RecordId& parent() const { return m_parent; }
    const FormRef& formRef() const { return m_formRef; }
    std::uint32_t changeFlags() const { return m_changeFlags; }
    std::int32_t iconIndex() const { return m_iconIndex; }
    std::uint32_t iconLength() const { return m_iconLength; }
    // The MD5 stored with a custom icon (all zero for a built-in one).
    const std::array<std::uint8_t, 16>& iconMd5() const { return m_iconMd5; }
    std::uint32_t bodyLength() const { return m_bodyLength; }
    std::uint64_t storedSize() const { return RecordHeader::kSize + m_iconLength + m_bodyLength; }
    // Where the record starts in the file; kNoOffset when not known.
    std::uint64_t offset() const { return m_offset; }

    // The name, at most 255 code units; valid until the index is cleared.
    std::u16string_view nameView() const { return {m_name, m_nameLength}; }
    // The name was deciphered under the records' key when the entry was made.
    std::u16string name() const { return std::u16string(nameView()); }

private:
    friend class WalletIndex;

    // Entries live only in the index's blocks, where WalletIndex::fill sets every field.
    std::uint64_t m_offset;
    RecordId m_id;
    RecordId m_parent;
    FormRef m_formRef;
    std::array<std::uint8_t, 16> m_iconMd5;
    const char16_t* m_name;
    std::uint32_t m_bodyLength;
    std::uint32_t m_iconLength;
    std::uint32_t m_changeFlags;
    std::int32_t m_iconIndex;
    std::uint16_t m_nameLength;
    std::uint8_t m_type;
    std::uint8_t m_deleted;
};

// The in-memory index of an open wallet's records. Positions are stable while the wallet is
// open: a record written again replaces its entry in place, and a deleted record keeps its entry
// with the deleted mark set. Entries are stored in blocks (references to them stay valid while
// entries are added) and found by identifier through an open-addressing hash table; an entry's
// identifier is never changed in place. Names live in one arena, wiped when the index is cleared.
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
    ~WalletIndex() { clear(); }
    WalletIndex(const WalletIndex&) = delete;
    WalletIndex& operator=(const WalletIndex&) = delete;

    // The key that entries' names are deciphered with (not owned; null: entries get no name).
    void setNameKey(const KeyRecord* key) { m_nameKey = key; }

    std::size_t count() const { return m_count; }
    std::size_t capacity() const { return m_capacity; }
    const IndexEntry& at(std::size_t position) const { return m_blocks[position >> kBlockBits][position & kBlockMask]; }

    // Replaces the entry with the same identifier, else appends (growing the capacity by 1024
    // when full). `offset` is where the record starts in the file. Returns the position.
    std::size_t put(const RecordHeader& header, std::uint64_t offset = IndexEntry::kNoOffset);
    // Appends without looking for an existing entry.
    std::size_t append(const RecordHeader& header, std::uint64_t offset = IndexEntry::kNoOffset);
    // The same from a header's RecordHeader::kSize bytes as stored.
    std::size_t append(const std::uint8_t* header, std::uint64_t offset);
    // Makes room in the lookup for `count` entries, so that reading them does not rehash.
    void reserve(std::size_t count);
    // Reading many entries at once: between these, appends leave the lookup alone (find sees
    // nothing appended since the start) and endBulk builds it in one pass.
    void beginBulk() { m_bulk = true; }
    void endBulk();
    // Wipes the names and forgets every entry.
    void clear();

    // Makes the entry at `position` stand for `header` at `offset` (a record rewritten where it
    // lies, or turned into its deletion marker).
    void replace(std::size_t position, const RecordHeader& header, std::uint64_t offset);
    // Moves the file offsets at or after `from` by `delta` bytes (the file was rewritten with
    // bytes added or cut before them).
    void shiftOffsets(std::uint64_t from, std::int64_t delta);

    // Lookups; -1 when there is none.
    std::int64_t find(const RecordId& id) const;
    // The first live entry with the identifier.
    std::int64_t findLive(const RecordId& id) const;
    std::int64_t parentOf(std::int64_t position) const;
    // The folder (type 2 or 3) that holds the entry.
    std::int64_t folderOf(std::int64_t position) const;
    std::int64_t formsFolder() const;
    // 100, 200, 300, 400 for the special entries; the record type's number for a real position; 0
    // else.
    int typeCode(std::int64_t position) const;

private:
    static constexpr std::size_t kBlockBits = 12;
    static constexpr std::size_t kBlockMask = (std::size_t{1} << kBlockBits) - 1;
    static constexpr std::size_t kArenaBlock = 32 * 1024;  // code units

    IndexEntry& entry(std::size_t position) { return m_blocks[position >> kBlockBits][position & kBlockMask]; }
    void fill(IndexEntry& e, const std::uint8_t* header, std::uint64_t offset);
    // Deciphers the stored name area straight into the arena.
    void keepName(IndexEntry& e, const std::uint8_t* area);
    void rehash(std::size_t slots);
    void insertSlot(std::size_t position) { insertSlot(position, RecordIdHash{}(at(position).id())); }
    void insertSlot(std::size_t position, std::size_t hash);

    // Blocks of entries are raw memory: entries are made by fill() as they are taken.
    struct FreeBlock {
        void operator()(IndexEntry* block) const { ::operator delete(block); }
    };
    std::vector<std::unique_ptr<IndexEntry[], FreeBlock>> m_blocks;
    std::size_t m_count = 0;
    std::size_t m_capacity = kInitialCapacity;
    // Slots hold position + 1 of the first entry with an identifier (0: empty) and the high half
    // of its hash, so that a probe looks at an entry only when that half matches.
    struct Slot {
        std::uint32_t position = 0;
        std::uint32_t tag = 0;
    };
    std::vector<Slot> m_slots;
    bool m_duplicates = false;  // some identifier has more than one entry
    bool m_bulk = false;
    std::vector<std::unique_ptr<char16_t[]>> m_arena;
    // Code units used in each arena block: what clear() wipes.
    std::vector<std::size_t> m_arenaFilled;
    std::size_t m_arenaUsed = kArenaBlock;
    const KeyRecord* m_nameKey = nullptr;
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
