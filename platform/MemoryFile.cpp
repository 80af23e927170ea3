#include "platform/MemoryFile.h"

#include <algorithm>
#include <cstring>

namespace tw {
namespace {

class MemoryFile final : public File {
public:
    MemoryFile(std::shared_ptr<std::vector<std::uint8_t>> bytes, bool writable, std::shared_ptr<FaultPlan> faults,
               std::shared_ptr<bool> unsynced, std::shared_ptr<std::vector<std::uint8_t>> synced)
        : m_bytes(std::move(bytes)),
          m_writable(writable),
          m_faults(std::move(faults)),
          m_unsynced(std::move(unsynced)),
          m_synced(std::move(synced)) {}

    bool read(void* buffer, std::size_t count, std::size_t* done) override {
        *done = 0;
        std::size_t want = count;
        if (m_faults) {
            const std::uint64_t n = ++m_faults->reads;
            if (n == m_faults->failReadAt) return false;
            if (n == m_faults->shortReadAt && want > 1) {
                want /= 2;
            }
        }
        const std::uint64_t size = m_bytes->size();
        if (m_pos >= size) return true;
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(want, size - m_pos));
        std::memcpy(buffer, m_bytes->data() + m_pos, n);
        m_pos += n;
        *done = n;
        return true;
    }

    bool write(const void* buffer, std::size_t count, std::size_t* done) override {
        *done = 0;
        if (!m_writable || stopped()) return false;
        std::size_t want = count;
        if (m_faults) {
            const std::uint64_t n = ++m_faults->writes;
            if (n == m_faults->failWriteAt) return false;
            if (n == m_faults->shortWriteAt) {
                want /= 2;
            }
            if (n == m_faults->crashAtWrite) {
                m_faults->crashed = true;
                want = static_cast<std::size_t>(std::min<std::uint64_t>(
                    want, m_faults->crashKeep == FaultPlan::kNever ? want / 2 : m_faults->crashKeep));
            }
            if (m_pos + want > m_faults->writeLimit) {
                want = m_pos >= m_faults->writeLimit ? 0 : static_cast<std::size_t>(m_faults->writeLimit - m_pos);
            }
        }
        if (want == 0) return true;
        markUnsynced();
        if (m_pos + want > m_bytes->size()) m_bytes->resize(m_pos + want, 0);
        std::memcpy(m_bytes->data() + m_pos, buffer, want);
        m_pos += want;
        *done = want;
        return true;
    }

    bool seek(std::int64_t offset, SeekFrom from, std::uint64_t* position) override {
        std::int64_t base = 0;
        if (from == SeekFrom::Current) base = static_cast<std::int64_t>(m_pos);
        if (from == SeekFrom::End) base = static_cast<std::int64_t>(m_bytes->size());
        const std::int64_t p = base + offset;
        if (p < 0) return false;
        m_pos = static_cast<std::uint64_t>(p);
        if (position != nullptr) *position = m_pos;
        return true;
    }

    bool size(std::uint64_t* size) override {
        *size = m_bytes->size();
        return true;
    }

    bool truncateHere() override {
        if (!m_writable || stopped()) return false;
        markUnsynced();
        m_bytes->resize(m_pos, 0);
        return true;
    }

    bool flush() override {
        if (stopped()) return false;
        if (m_faults) {
            const std::uint64_t n = ++m_faults->syncs;
            if (n == m_faults->failSyncAt) return false;
            if (n == m_faults->shortSyncAt) {
                if (m_synced) {
                    std::vector<std::uint8_t> kept = *m_synced;
                    if (m_bytes->size() > kept.size()) {
                        const std::size_t half = (m_bytes->size() - kept.size()) / 2;
                        kept.insert(kept.end(), m_bytes->begin() + static_cast<std::ptrdiff_t>(kept.size()),
                                    m_bytes->begin() + static_cast<std::ptrdiff_t>(kept.size() + half));
                    }
                    *m_bytes = std::move(kept);
                }
                return false;
            }
        }
        if (m_unsynced) *m_unsynced = false;
        if (m_synced) *m_synced = *m_bytes;
        return true;
    }

private:
    bool stopped() const { return m_faults && m_faults->crashed; }
    void markUnsynced() {
        if (m_unsynced) *m_unsynced = true;
    }

    std::shared_ptr<std::vector<std::uint8_t>> m_bytes;
    bool m_writable;
    std::shared_ptr<FaultPlan> m_faults;
    std::shared_ptr<bool> m_unsynced;
    std::shared_ptr<std::vector<std::uint8_t>> m_synced;
    std::uint64_t m_pos = 0;
};

}  // namespace

std::unique_ptr<File> makeMemoryFile(std::shared_ptr<std::vector<std::uint8_t>> bytes, bool writable,
                                     std::shared_ptr<FaultPlan> faults, std::shared_ptr<bool> unsynced,
                                     std::shared_ptr<std::vector<std::uint8_t>> synced) {
    return std::make_unique<MemoryFile>(std::move(bytes), writable, std::move(faults), std::move(unsynced),
                                        std::move(synced));
}

std::unique_ptr<File> MemoryFileSystem::open(const std::string& path, OpenMode mode) {
    auto it = m_files.find(path);
    if (mode == OpenMode::CreateNew) {
        if (it != m_files.end() || m_folders.count(path) != 0) return nullptr;
        it = m_files.emplace(path, std::make_shared<std::vector<std::uint8_t>>()).first;
    } else if (it == m_files.end() || (mode == OpenMode::ReadWrite && m_locks.count(path) != 0)) {
        return nullptr;
    }
    std::shared_ptr<bool>& unsynced = m_unsynced[path];
    if (!unsynced) unsynced = std::make_shared<bool>(false);
    std::shared_ptr<std::vector<std::uint8_t>>& synced = m_synced[path];
    if (!synced) synced = std::make_shared<std::vector<std::uint8_t>>(*it->second);
    return makeMemoryFile(it->second, mode != OpenMode::Read, m_faults, unsynced, synced);
}

std::optional<std::string> MemoryFileSystem::lockHolder(const std::string& path) {
    const auto it = m_locks.find(path);
    if (it == m_locks.end()) return std::nullopt;
    return it->second;
}

bool MemoryFileSystem::unsynced(const std::string& path) const {
    const auto it = m_unsynced.find(path);
    return it != m_unsynced.end() && *it->second;
}

bool MemoryFileSystem::exists(const std::string& path) {
    return m_files.count(path) != 0 || m_folders.count(path) != 0;
}

bool MemoryFileSystem::remove(const std::string& path) {
    if (m_faults->crashed) return false;
    m_synced.erase(path);
    m_modified.erase(path);
    m_unsynced.erase(path);
    return m_files.erase(path) != 0;
}

bool MemoryFileSystem::rename(const std::string& from, const std::string& to) {
    auto it = m_files.find(from);
    if (it == m_files.end() || unsynced(from) || m_faults->crashed) return false;
    m_synced.erase(to);
    if (const auto k = m_synced.find(from); k != m_synced.end()) {
        m_synced[to] = k->second;
        m_synced.erase(k);
    }
    auto bytes = it->second;
    m_files.erase(it);
    m_files[to] = std::move(bytes);
    m_unsynced.erase(to);
    if (const auto u = m_unsynced.find(from); u != m_unsynced.end()) {
        m_unsynced[to] = u->second;
        m_unsynced.erase(u);
    }
    m_modified.erase(to);
    if (const auto t = m_modified.find(from); t != m_modified.end()) {
        m_modified[to] = t->second;
        m_modified.erase(t);
    }
    return true;
}

bool MemoryFileSystem::modifiedTime(const std::string& path, SystemTime* time) {
    const auto it = m_modified.find(path);
    if (time == nullptr || it == m_modified.end() || m_files.count(path) == 0) return false;
    *time = it->second;
    return true;
}

bool MemoryFileSystem::makeFolder(const std::string& path) {
    if (m_files.count(path) != 0) return false;
    m_folders.insert(path);
    return true;
}

std::vector<std::uint8_t>& MemoryFileSystem::bytes(const std::string& path) {
    auto& slot = m_files[path];
    if (!slot) slot = std::make_shared<std::vector<std::uint8_t>>();
    return *slot;
}

void MemoryFileSystem::setBytes(const std::string& path, std::vector<std::uint8_t> bytes) {
    m_files[path] = std::make_shared<std::vector<std::uint8_t>>(std::move(bytes));
    m_unsynced.erase(path);
    m_synced.erase(path);
}

}  // namespace tw
