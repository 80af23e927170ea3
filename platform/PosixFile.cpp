#include "platform/PosixFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

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
        if (n != 0) m_unsynced = true;
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
        m_unsynced = true;
        return p >= 0 && ::ftruncate(m_fd, p) == 0;
    }
    // A file with nothing written since its last good sync is not synced again: the sync that
    // closing a wallet makes after a save would otherwise wait on the disk a second time.
    bool flush() override {
        if (!m_unsynced) return true;
        if (::fsync(m_fd) != 0) return false;
        m_unsynced = false;
        return true;
    }
    // Whoever has the descriptor may write through it (the kernel's copies between files do).
    int descriptor() const override {
        m_unsynced = true;
        return m_fd;
    }

private:
    int m_fd;
    // Until the first sync, what another handle or program left unsynced counts as well.
    mutable bool m_unsynced = true;
};

}  // namespace

namespace {

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Takes the lock, waiting up to `wait` for it. False when it is still held by another.
bool takeLock(int fd, int operation, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, operation | LOCK_NB) == 0) return true;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

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
    // A writer that replaces the file whole renames a new one over the path and then lets go of
    // its lock; whoever locked the old file in the meantime must open the path again.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = ::open(path.c_str(), flags, 0600);
        if (fd < 0) return nullptr;
        if (betweenOpenAndLock) betweenOpenAndLock(path);
        if (mode == OpenMode::Read) {
            // A reader takes the shared lock when it can; a writer that has the file open keeps it
            // (perhaps for a long session), and the reader then reads beside it.
            (void)takeLock(fd, LOCK_SH, std::chrono::milliseconds(0));
        } else if (!takeLock(fd, LOCK_EX, mode == OpenMode::CreateNew ? std::chrono::milliseconds(0) : lockWait())) {
            ::close(fd);
            return nullptr;
        }
        struct stat st {};
        struct stat atPath {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return nullptr;
        }
        if (mode == OpenMode::CreateNew || (::stat(path.c_str(), &atPath) == 0 && sameFile(st, atPath)))
            return std::make_unique<PosixFile>(fd);
        ::close(fd);
    }
    return nullptr;
}

std::optional<std::string> PosixFileSystem::lockHolder(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    const bool locked = ::fstat(fd, &st) == 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    if (!locked) return std::nullopt;
    // Lines such as "3: FLOCK  ADVISORY  WRITE 4242 08:02:1234567 0 EOF"; waiting ones hold "->".
    std::ifstream locks("/proc/locks");
    std::string line;
    char device[32];
    std::snprintf(device, sizeof device, "%02x:%02x:", major(st.st_dev), minor(st.st_dev));
    const std::string file = std::string(device) + std::to_string(st.st_ino);
    while (std::getline(locks, line)) {
        std::istringstream words(line);
        std::string number, kind, advisory, access, pid, where;
        words >> number >> kind;
        if (kind == "->" || kind != "FLOCK") continue;
        words >> advisory >> access >> pid >> where;
        if (where != file || pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream comm("/proc/" + pid + "/comm");
        std::string name;
        std::getline(comm, name);
        if (name.empty()) return "process " + pid;
        return name + ", process " + pid;
    }
    return std::string();
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

bool PosixFileSystem::copyIdentity(const std::string& from, const std::string& to) {
    struct stat old {};
    if (::stat(from.c_str(), &old) != 0) return errno == ENOENT;
    struct stat now {};
    if (::stat(to.c_str(), &now) != 0) return false;
    // Owner and group first: a change of owner clears the set-id bits that chmod then gives back.
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::chown(to.c_str(), old.st_uid, old.st_gid) != 0)
        return false;
    if (::chmod(to.c_str(), old.st_mode & 07777) != 0) return false;
    // Extended attributes (access control lists among them), where the file has any.
    const ssize_t listSize = ::listxattr(from.c_str(), nullptr, 0);
    if (listSize < 0) return errno == ENOTSUP;
    std::vector<char> names(static_cast<std::size_t>(listSize) + 1, 0);
    const ssize_t got = ::listxattr(from.c_str(), names.data(), names.size());
    if (got < 0) return false;
    for (const char* name = names.data(); name < names.data() + got; name += std::strlen(name) + 1) {
        const ssize_t size = ::getxattr(from.c_str(), name, nullptr, 0);
        if (size < 0) return false;
        std::vector<char> value(static_cast<std::size_t>(size) + 1, 0);
        const ssize_t read = ::getxattr(from.c_str(), name, value.data(), value.size());
        if (read < 0 || ::setxattr(to.c_str(), name, value.data(), static_cast<std::size_t>(read), 0) != 0)
            return false;
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
