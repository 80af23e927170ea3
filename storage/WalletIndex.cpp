#include "storage/WalletIndex.h"

#include <algorithm>

namespace tw {

void WalletIndex::grow() {
    m_capacity += kGrowth;
}

std::size_t WalletIndex::append(const RecordHeader& header) {
    if (m_entries.size() >= m_capacity) grow();
    m_entries.push_back(header);
    const std::size_t position = m_entries.size() - 1;
    m_positions.emplace(header.id(), position);
    return position;
}

std::size_t WalletIndex::put(const RecordHeader& header) {
    const std::int64_t existing = find(header.id());
    if (existing >= 0) {
        m_entries[static_cast<std::size_t>(existing)] = header;
        return static_cast<std::size_t>(existing);
    }
    return append(header);
}

void WalletIndex::clear() {
    m_entries.clear();
    m_entries.shrink_to_fit();
    m_positions.clear();
    m_positions.rehash(0);
    m_capacity = kInitialCapacity;
}

std::int64_t WalletIndex::find(const RecordId& id) const {
    const auto it = m_positions.find(id);
    return it == m_positions.end() ? -1 : static_cast<std::int64_t>(it->second);
}

std::int64_t WalletIndex::parentOf(std::int64_t position) const {
    if (position < 0 || static_cast<std::size_t>(position) >= m_entries.size()) return -1;
    const RecordId parent = m_entries[static_cast<std::size_t>(position)].parent();
    if (parent.isZero()) return -1;
    return find(parent);
}

std::int64_t WalletIndex::folderOf(std::int64_t position) const {
    const std::int64_t parent = parentOf(position);
    if (parent < 0) return -1;
    const RecordType type = m_entries[static_cast<std::size_t>(parent)].type();
    return type == RecordType::Folder || type == RecordType::FormsFolder ? parent : -1;
}

std::int64_t WalletIndex::formsFolder() const {
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].type() == RecordType::FormsFolder && !m_entries[i].deleted())
            return static_cast<std::int64_t>(i);
    return -1;
}

int WalletIndex::typeCode(std::int64_t position) const {
    if (position == kFavouritesNode) return 100;
    if (position == kSearchResultsNode) return 200;
    if (position == kThirdNode) return 300;
    if (position == kRecoveredNode) return 400;
    if (position < 0 || static_cast<std::size_t>(position) >= m_entries.size()) return 0;
    return static_cast<int>(m_entries[static_cast<std::size_t>(position)].type());
}

Reachability reachability(const WalletIndex& index) {
    const std::size_t n = index.count();
    std::unordered_map<RecordId, std::size_t, RecordIdHash> live;
    live.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        if (!index.at(i).deleted()) live.emplace(index.at(i).id(), i);

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
            const RecordId parent = index.at(at).parent();
            if (parent.isZero()) {
                outcome = Reachable;
                break;
            }
            const auto it = live.find(parent);
            if (it == live.end()) {
                heads[at] = true;
                break;
            }
            at = it->second;
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
