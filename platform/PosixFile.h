#pragma once

#include <functional>

#include "platform/File.h"

namespace tw {

// Files over POSIX descriptors. Writers hold an exclusive advisory lock (flock) for as long as
// the file is open, so two programs never write one wallet at once; readers hold a shared one
// while they read, when no writer had the file first (they then read beside it, as before).
// A file locked after it was opened is checked to be still the one at the path: a writer that
// replaced it whole in between has renamed a new file over it, which is then opened instead.
class PosixFileSystem final : public FileSystem {
public:
    // Called between opening a file and locking it, with the path; for tests that need another
    // writer to act in that moment. Unset in the programs.
    std::function<void(const std::string& path)> betweenOpenAndLock;

    std::unique_ptr<File> open(const std::string& path, OpenMode mode) override;
    bool exists(const std::string& path) override;
    bool remove(const std::string& path) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool copyIdentity(const std::string& from, const std::string& to) override;
    std::string resolve(const std::string& path) override;
    bool modifiedTime(const std::string& path, SystemTime* time) override;
    bool makeFolder(const std::string& path) override;
    // Names the holder from the system's table of locks (/proc/locks) and the process's name.
    std::optional<std::string> lockHolder(const std::string& path) override;
};

}  // namespace tw
