#include "storage/WalletIndex.h"

#include <algorithm>
#include <new>

#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/KeyRecord.h"

namespace tw {

void WalletIndex::keepName(IndexEntry& e, const std::uint8_t* area) {
    // Room for the whole area: the text is deciphered where it is kept, and what lies beyond
    // its end (deciphered too, or cut off) is overwritten by the next name or wiped by clear().
    constexpr std::size_t kUnits = RecordHeader::kNameSize / 2;
    static_assert(kUnits <= kArenaBlock);
    if (kArenaBlock - m_arenaUsed < kUnits) {
        m_arena.push_back(std::make_unique_for_overwrite<char16_t[]>(kArenaBlock));
        m_arenaFilled.push_back(0);
        m_arenaUsed = 0;
    }
    char16_t* at = m_arena.back().get() + m_arenaUsed;
    const std::size_t deciphered = m_nameKey->decipherText16(area, RecordHeader::kNameSize, at);
    m_arenaFilled.back() = m_arenaUsed + kUnits;
    const std::size_t kept = cutText({at, deciphered}, RecordHeader::kMaxName).size();
    if (kept == 0) return;
    e.m_name = at;
    e.m_nameLength = static_cast<std::uint16_t>(kept);
    m_arenaUsed += kept;
}

void WalletIndex::fill(IndexEntry& e, const std::uint8_t* raw, std::uint64_t offset) {
    e.m_offset = offset;
    std::memcpy(e.m_id.bytes.data(), raw + RecordHeader::kId, 16);
    std::memcpy(e.m_parent.bytes.data(), raw + RecordHeader::kParent, 16);
    std::memcpy(e.m_formRef.bytes.data(), raw + RecordHeader::kFormRef, 16);
    e.m_type = static_cast<std::uint8_t>(recordTypeOf(raw));
    e.m_deleted = getU32(raw, RecordHeader::kDeletedMark) != 0 ? 1 : 0;
    e.m_changeFlags = getU32(raw, RecordHeader::kChangeFlags);
    e.m_iconIndex = getI32(raw, RecordHeader::kIconIndex);
    e.m_iconLength = getU32(raw, RecordHeader::kIconLength);
    e.m_bodyLength = getU32(raw, RecordHeader::kBodyLength);
    if (e.m_iconIndex == RecordHeader::kCustomIcon)
        std::memcpy(e.m_iconMd5.data(), raw + RecordHeader::kIconMd5, 16);
    else
        e.m_iconMd5 = {};
    e.m_name = nullptr;
    e.m_nameLength = 0;
    if (m_nameKey != nullptr && !allZero(raw + RecordHeader::kName, RecordHeader::kNameSize))
        keepName(e, raw + RecordHeader::kName);
}

void WalletIndex::rehash(std::size_t slots) {
    std::size_t size = 16;
    while (size < slots) size <<= 1;
    m_slots.assign(size, Slot{});
    // Entries go in in position order (the first with an identifier keeps its slot); the slot of
    // an entry a few places ahead is fetched into the cache while this one goes in, and its hash
    // is kept until then.
    constexpr std::size_t kAhead = 8;
    std::size_t hashes[kAhead];
    const std::size_t mask = size - 1;
    const std::size_t first = std::min(kAhead, m_count);
    for (std::size_t i = 0; i < first; ++i) hashes[i] = RecordIdHash{}(at(i).id());
    for (std::size_t i = 0; i < m_count; ++i) {
        const std::size_t hash = hashes[i % kAhead];
        if (i + kAhead < m_count) {
            const std::size_t ahead = RecordIdHash{}(at(i + kAhead).id());
            hashes[i % kAhead] = ahead;
            __builtin_prefetch(&m_slots[ahead & mask], 1);
        }
        insertSlot(i, hash);
    }
}

void WalletIndex::endBulk() {
    m_bulk = false;
    rehash(m_count * 2 + 2);
}

void WalletIndex::insertSlot(std::size_t position, std::size_t hash) {
    const RecordId& id = at(position).id();
    const auto tag = static_cast<std::uint32_t>(static_cast<std::uint64_t>(hash) >> 32);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t s = hash & mask;; s = (s + 1) & mask) {
        Slot& slot = m_slots[s];
        if (slot.position == 0) {
            slot.position = static_cast<std::uint32_t>(position + 1);
            slot.tag = tag;
            return;
        }
        if (slot.tag == tag && at(slot.position - 1).id() == id) {
            m_duplicates = true;  // the first entry keeps the slot
            return;
        }
    }
}

void WalletIndex::reserve(std::size_t count) {
    if (count * 2 > m_slots.size()) rehash(count * 2);
}

std::size_t WalletIndex::append(const RecordHeader& header, std::uint64_t offset) {
    return append(header.raw.data(), offset);
}

std::size_t WalletIndex::append(const std::uint8_t* header, std::uint64_t offset) {
    if (m_count >= m_capacity) m_capacity += kGrowth;
    if ((m_count >> kBlockBits) >= m_blocks.size())
        m_blocks.emplace_back(static_cast<IndexEntry*>(::operator new(sizeof(IndexEntry) << kBlockBits)));
    const std::size_t position = m_count;
    fill(entry(position), header, offset);
    ++m_count;
    // At most half the slots are taken: the table doubles when more would be.
    if (m_bulk) return position;
    if ((m_count + 1) * 2 > m_slots.size())
        rehash(m_slots.size() * 2);
    else
        insertSlot(position);
    return position;
}

std::size_t WalletIndex::put(const RecordHeader& header, std::uint64_t offset) {
    const std::int64_t existing = find(header.id());
    if (existing >= 0) {
        fill(entry(static_cast<std::size_t>(existing)), header.raw.data(), offset);
        return static_cast<std::size_t>(existing);
    }
    return append(header, offset);
}

void WalletIndex::clear() {
    for (std::size_t i = 0; i < m_arena.size(); ++i) wipe(m_arena[i].get(), m_arenaFilled[i] * sizeof(char16_t));
    m_arena.clear();
    m_arenaFilled.clear();
    m_arenaUsed = kArenaBlock;
    m_blocks.clear();
    m_count = 0;
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_duplicates = false;
    m_bulk = false;
    m_capacity = kInitialCapacity;
}

void WalletIndex::replace(std::size_t position, const RecordHeader& header, std::uint64_t offset) {
    if (position < m_count && at(position).id() == header.id()) fill(entry(position), header.raw.data(), offset);
}

void WalletIndex::shiftOffsets(std::uint64_t from, std::int64_t delta) {
    for (std::size_t i = 0; i < m_count; ++i) {
        IndexEntry& e = entry(i);
        if (e.m_offset != IndexEntry::kNoOffset && e.m_offset >= from)
            e.m_offset = static_cast<std::uint64_t>(static_cast<std::int64_t>(e.m_offset) + delta);
    }
}

std::int64_t WalletIndex::find(const RecordId& id) const {
    if (m_slots.empty()) return -1;
    const std::size_t hash = RecordIdHash{}(id);
    const auto tag = static_cast<std::uint32_t>(static_cast<std::uint64_t>(hash) >> 32);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t s = hash & mask; m_slots[s].position != 0; s = (s + 1) & mask) {
        const Slot& slot = m_slots[s];
        if (slot.tag == tag && at(slot.position - 1).id() == id) return static_cast<std::int64_t>(slot.position - 1);
    }
    return -1;
}

std::int64_t WalletIndex::findLive(const RecordId& id) const {
    const std::int64_t first = find(id);
    if (first < 0 || !at(static_cast<std::size_t>(first)).deleted()) return first;
    if (!m_duplicates) return -1;
    for (std::size_t i = static_cast<std::size_t>(first) + 1; i < m_count; ++i)
        if (!at(i).deleted() && at(i).id() == id) return static_cast<std::int64_t>(i);
    return -1;
}

std::int64_t WalletIndex::parentOf(std::int64_t position) const {
    if (position < 0 || static_cast<std::size_t>(position) >= m_count) return -1;
    const RecordId& parent = at(static_cast<std::size_t>(position)).parent();
    if (parent.isZero()) return -1;
    return find(parent);
}

std::int64_t WalletIndex::folderOf(std::int64_t position) const {
    const std::int64_t parent = parentOf(position);
    if (parent < 0) return -1;
    const RecordType type = at(static_cast<std::size_t>(parent)).type();
    return type == RecordType::Folder || type == RecordType::FormsFolder ? parent : -1;
}

std::int64_t WalletIndex::formsFolder() const {
    for (std::size_t i = 0; i < m_count; ++i)
        if (at(i).type() == RecordType::FormsFolder && !at(i).deleted()) return static_cast<std::int64_t>(i);
    return -1;
}

int WalletIndex::typeCode(std::int64_t position) const {
    if (position == kFavouritesNode) return 100;
    if (position == kSearchResultsNode) return 200;
    if (position == kThirdNode) return 300;
    if (position == kRecoveredNode) return 400;
    if (position < 0 || static_cast<std::size_t>(position) >= m_count) return 0;
    return static_cast<int>(at(static_cast<std::size_t>(position)).type());
}

Reachability reachability(const WalletIndex& index) {
    const std::size_t n = index.count();
    // Each chain of parents is followed once; what is found is kept for every record on it.
    enum State : std::uint8_t { Unknown, Visiting, Reachable, Unreachable };
    std::vector<State> state(n, Unknown);
    Reachability result;
    std::vector<bool> heads(n, false);
    std::vector<std::size_t> chain;
    for (std::size_t start = 0; start < n; ++start) {
        if (state[start] != Unknown || index.at(start).deleted()) continue;
        chain.clear();
        State outcome = Unreachable;
        for (std::size_t at = start;;) {
            if (state[at] == Reachable || state[at] == Unreachable) {
                outcome = state[at];
                break;
            }
            if (state[at] == Visiting) {
                // A loop: it is headed by its first record in index order.
                const auto loop = std::find(chain.begin(), chain.end(), at);
                heads[*std::min_element(loop, chain.end())] = true;
                break;
            }
            state[at] = Visiting;
            chain.push_back(at);
            const RecordId& parent = index.at(at).parent();
            if (parent.isZero()) {
                outcome = Reachable;
                break;
            }
            const std::int64_t next = index.findLive(parent);
            if (next < 0) {
                heads[at] = true;
                break;
            }
            at = static_cast<std::size_t>(next);
        }
        for (std::size_t p : chain) state[p] = outcome;
    }
    result.reachable.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        result.reachable[i] = state[i] == Reachable;
        if (heads[i]) result.unhomed.push_back(i);
    }
    return result;
}

}  // namespace tw
