#include "storage/WalletIndex.h"

namespace tw {

void WalletIndex::grow() {
    m_capacity += kGrowth;
    m_entries.reserve(m_capacity);
}

std::size_t WalletIndex::append(const RecordHeader& header) {
    if (m_entries.size() >= m_capacity) grow();
    m_entries.push_back(std::make_unique<RecordHeader>(header));
    return m_entries.size() - 1;
}

std::size_t WalletIndex::put(const RecordHeader& header) {
    const std::int64_t existing = find(header.id());
    if (existing >= 0) {
        *m_entries[static_cast<std::size_t>(existing)] = header;
        return static_cast<std::size_t>(existing);
    }
    return append(header);
}

void WalletIndex::clear() {
    m_entries.clear();
    m_entries.shrink_to_fit();
    m_capacity = kInitialCapacity;
    m_entries.reserve(m_capacity);
}

std::int64_t WalletIndex::find(const RecordId& id) const {
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i]->id() == id) return static_cast<std::int64_t>(i);
    return -1;
}

std::int64_t WalletIndex::parentOf(std::int64_t position) const {
    if (position < 0 || static_cast<std::size_t>(position) >= m_entries.size()) return -1;
    const RecordId parent = m_entries[static_cast<std::size_t>(position)]->parent();
    if (parent.isZero()) return -1;
    return find(parent);
}

std::int64_t WalletIndex::folderOf(std::int64_t position) const {
    const std::int64_t parent = parentOf(position);
    if (parent < 0) return -1;
    const RecordType type = m_entries[static_cast<std::size_t>(parent)]->type();
    return type == RecordType::Folder || type == RecordType::FormsFolder ? parent : -1;
}

std::int64_t WalletIndex::formsFolder() const {
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i]->type() == RecordType::FormsFolder && !m_entries[i]->deleted())
            return static_cast<std::int64_t>(i);
    return -1;
}

int WalletIndex::typeCode(std::int64_t position) const {
    if (position == kFavouritesNode) return 100;
    if (position == kSearchResultsNode) return 200;
    if (position == kThirdNode) return 300;
    if (position < 0 || static_cast<std::size_t>(position) >= m_entries.size()) return 0;
    return static_cast<int>(m_entries[static_cast<std::size_t>(position)]->type());
}

}  // namespace tw
