#include "platform/PosixFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace tw {
namespace {

class PosixFile final : public File {
public:
    explicit PosixFile(int fd) : m_fd(fd) {}
    ~PosixFile() override { ::close(m_fd); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    bool read(void* buffer, std::size_t count, std::size_t* done) override {
        ssize_t n;
        do {
            n = ::read(m_fd, buffer, count);
        } while (n < 0 && errno == EINTR);
        *done = n > 0 ? static_cast<std::size_t>(n) : 0;
        return n >= 0;
    }
    bool write(const void* buffer, std::size_t count, std::size_t* done) override {
        ssize_t n;
        do {
            n = ::write(m_fd, buffer, count);
        } while (n < 0 && errno == EINTR);
        *done = n > 0 ? static_cast<std::size_t>(n) : 0;
        return n >= 0;
    }
    bool seek(std::int64_t offset, SeekFrom from, std::uint64_t* position) override {
        const int whence = from == SeekFrom::Begin ? SEEK_SET : from == SeekFrom::Current ? SEEK_CUR : SEEK_END;
        const off_t p = ::lseek(m_fd, static_cast<off_t>(offset), whence);
        if (p < 0) return false;
        if (position != nullptr) *position = static_cast<std::uint64_t>(p);
        return true;
    }
    bool size(std::uint64_t* size) override {
        struct stat st {};
        if (::fstat(m_fd, &st) != 0) return false;
        *size = static_cast<std::uint64_t>(st.st_size);
        return true;
    }
    bool truncateHere() override {
        const off_t p = ::lseek(m_fd, 0, SEEK_CUR);
        return p >= 0 && ::ftruncate(m_fd, p) == 0;
    }
    bool flush() override { return ::fsync(m_fd) == 0; }
    int descriptor() const override { return m_fd; }

private:
    int m_fd;
};

}  // namespace

std::unique_ptr<File> PosixFileSystem::open(const std::string& path, OpenMode mode) {
    int flags = O_CLOEXEC;
    switch (mode) {
        case OpenMode::Read:
            flags |= O_RDONLY;
            break;
        case OpenMode::ReadWrite:
            flags |= O_RDWR;
            break;
        case OpenMode::CreateNew:
            flags |= O_RDWR | O_CREAT | O_EXCL;
            break;
    }
    const int fd = ::open(path.c_str(), flags, 0600);
    if (fd < 0) return nullptr;
    if (mode != OpenMode::Read && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixFile>(fd);
}

bool PosixFileSystem::exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string PosixFileSystem::resolve(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return path;
    std::string resolved(real);
    std::free(real);
    return resolved;
}

bool PosixFileSystem::remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool PosixFileSystem::rename(const std::string& from, const std::string& to) {
    // The new file stands in for the old one: it keeps the old one's permissions, and its owner
    // and group where this user may give them (a rewrite must not make a shared wallet private).
    struct stat old {};
    if (::stat(to.c_str(), &old) == 0) {
        ::chmod(from.c_str(), old.st_mode & 07777);
        if (::chown(from.c_str(), old.st_uid, old.st_gid) != 0)
            (void)!::chown(from.c_str(), static_cast<uid_t>(-1), old.st_gid);
    }
    if (::rename(from.c_str(), to.c_str()) != 0) return false;
    // Make the new name durable: sync the folder that holds it.
    const std::size_t slash = to.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : to.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return true;
}

bool PosixFileSystem::modifiedTime(const std::string& path, SystemTime* time) {
    struct stat st {};
    if (time == nullptr || ::stat(path.c_str(), &st) != 0) return false;
    *time = systemTimeFromUnix(static_cast<std::int64_t>(st.st_mtim.tv_sec),
                               static_cast<std::uint16_t>(st.st_mtim.tv_nsec / 1000000));
    return true;
}

bool PosixFileSystem::makeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) == 0) return true;
    struct stat st {};
    return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace tw
