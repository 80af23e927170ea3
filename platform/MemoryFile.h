#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/File.h"

namespace tw {

// Faults that a MemoryFileSystem injects into the files it opens. Counters run across every
// handle of the file system, so a test can let an operation run until its k-th write fails.
struct FaultPlan {
    static constexpr std::uint64_t kNever = ~std::uint64_t{0};

    std::uint64_t failReadAt = kNever;    // the read call with this 1-based number fails
    std::uint64_t failWriteAt = kNever;   // the write call with this 1-based number fails
    std::uint64_t shortWriteAt = kNever;  // the write call with this number transfers half its bytes
    std::uint64_t shortReadAt = kNever;   // the read call with this number transfers half its bytes
    std::uint64_t writeLimit = kNever;    // no byte is stored at or beyond this file offset
    std::uint64_t failSyncAt = kNever;    // the flush call with this number fails; the bytes stay
    // The flush call with this number fails having stored only part: the file falls back to what
    // its last good flush left, plus the first half of what was added beyond it since.
    std::uint64_t shortSyncAt = kNever;
    // The write call with this number stores only its first `crashKeep` bytes (half, when
    // kNever) and the program then stops: from there on no call changes any file.
    std::uint64_t crashAtWrite = kNever;
    std::uint64_t crashKeep = kNever;

    std::uint64_t reads = 0;   // read calls seen so far
    std::uint64_t writes = 0;  // write calls seen so far
    std::uint64_t syncs = 0;   // flush calls seen so far
    bool crashed = false;      // the crash point was passed
};

// An in-memory file system for tests: named byte vectors, handles sharing them, and a FaultPlan
// that can fail the k-th read or write, make a short transfer, or refuse writes past byte n.
// Like a disk after a power cut, it keeps only what was synced: a file written or shortened
// since its last flush cannot be renamed, so a replacement that is swapped in before it reached
// stable storage fails here.
class MemoryFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string& path, OpenMode mode) override;
    bool exists(const std::string& path) override;
    bool remove(const std::string& path) override;
    bool rename(const std::string& from, const std::string& to) override;
    // Files have no last-write time until a test gives them one with setModifiedTime.
    bool modifiedTime(const std::string& path, SystemTime* time) override;
    void setModifiedTime(const std::string& path, const SystemTime& time) { m_modified[path] = time; }
    // Folders are only remembered: files are stored by whole path whether or not their folder
    // exists. A folder exists, cannot be removed, and no file can be made in its place.
    bool makeFolder(const std::string& path) override;
    bool isFolder(const std::string& path) const { return m_folders.count(path) != 0; }

    // Direct access to stored bytes, for building fixtures and checking results.
    std::vector<std::uint8_t>& bytes(const std::string& path);
    void setBytes(const std::string& path, std::vector<std::uint8_t> bytes);

    // Another program's lock on a file, for tests: while held, opens for writing fail (after the
    // lock wait, which passes at once here) and lockHolder names `who`.
    void holdLock(const std::string& path, std::string who) { m_locks[path] = std::move(who); }
    void releaseLock(const std::string& path) { m_locks.erase(path); }
    std::optional<std::string> lockHolder(const std::string& path) override;

    // Files here have no owner; a test can make giving a replacement the old file's fail.
    bool copyIdentity(const std::string& from, const std::string& to) override {
        (void)from;
        (void)to;
        return !m_identityFails;
    }
    void failIdentity(bool fail) { m_identityFails = fail; }

    FaultPlan& faults() { return *m_faults; }
    void resetFaults() { *m_faults = FaultPlan{}; }
    // True when the file was written or shortened since its last flush.
    bool unsynced(const std::string& path) const;

private:
    std::map<std::string, std::shared_ptr<std::vector<std::uint8_t>>> m_files;
    std::map<std::string, std::shared_ptr<bool>> m_unsynced;
    std::map<std::string, std::shared_ptr<std::vector<std::uint8_t>>> m_synced;
    std::map<std::string, SystemTime> m_modified;
    std::set<std::string> m_folders;
    std::map<std::string, std::string> m_locks;
    bool m_identityFails = false;
    std::shared_ptr<FaultPlan> m_faults = std::make_shared<FaultPlan>();
};

// A single in-memory file, not tied to a file system. `unsynced` (optional) is set by every write
// and truncation and cleared by flush; `synced` (optional) receives the bytes at each good flush.
std::unique_ptr<File> makeMemoryFile(std::shared_ptr<std::vector<std::uint8_t>> bytes, bool writable = true,
                                     std::shared_ptr<FaultPlan> faults = nullptr,
                                     std::shared_ptr<bool> unsynced = nullptr,
                                     std::shared_ptr<std::vector<std::uint8_t>> synced = nullptr);

}  // namespace tw
