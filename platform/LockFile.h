#pragma once

#include <chrono>
#include <string>

namespace tw {

// A lock file beside a file that several processes rewrite ("registry-hkcu.ini.lock"), in the
// convention QLockFile follows, so that other programs on Qt's lock take turns with this one:
// the lock file is created exclusively and holds the owner's process id, program name and host
// name, one per line; its owner also holds an flock on it. A lock file whose owner has ended
// (nobody holds its flock and its process is gone, or it is older than 30 seconds) is stale and
// is taken over.
class LockFile {
public:
    explicit LockFile(std::string path) : m_path(std::move(path)) {}
    ~LockFile() { unlock(); }
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    // Waits up to `wait` for the lock; false when it could not be taken.
    bool lock(std::chrono::milliseconds wait = std::chrono::seconds(5));
    void unlock();

private:
    bool tryLock();
    bool removeIfStale();

    std::string m_path;
    int m_fd = -1;
};

}  // namespace tw
