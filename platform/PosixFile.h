#pragma once

#include "platform/File.h"

namespace tw {

// Files over POSIX descriptors. Writers hold an exclusive advisory lock (flock) for as long as
// the file is open, so two programs never write one wallet at once; readers take no lock.
class PosixFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string& path, OpenMode mode) override;
    bool exists(const std::string& path) override;
    bool remove(const std::string& path) override;
    bool rename(const std::string& from, const std::string& to) override;
    std::string resolve(const std::string& path) override;
    bool modifiedTime(const std::string& path, SystemTime* time) override;
    bool makeFolder(const std::string& path) override;
};

}  // namespace tw
