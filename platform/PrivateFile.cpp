#include "platform/PrivateFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace tw {

namespace {

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool ownPrivateFolder(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return false;
    if ((st.st_mode & 0777) != 0700 && ::chmod(path.c_str(), 0700) != 0) return false;
    return true;
}

}  // namespace

PrivateWrite writePrivateFile(const std::string& path, std::span<const std::uint8_t> data, bool onlyIfAbsent) {
    const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | (onlyIfAbsent ? O_EXCL : O_TRUNC);
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return onlyIfAbsent && errno == EEXIST ? PrivateWrite::Exists : PrivateWrite::Failed;
    struct stat st {};
    // A replaced file keeps no wider mode than a new one; a device or pipe is not written to.
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::fchmod(fd, 0600) == 0;
    ok = ok && writeAll(fd, data.data(), data.size()) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        if (S_ISREG(st.st_mode)) ::unlink(path.c_str());
        return PrivateWrite::Failed;
    }
    return PrivateWrite::Written;
}

bool makePrivateFolder(const std::string& path) {
    if (path.empty()) return false;
    if (ownPrivateFolder(path)) return true;
    const std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        const std::string parent = path.substr(0, slash);
        struct stat st {};
        if (::stat(parent.c_str(), &st) != 0 && !makePrivateFolder(parent)) return false;
    }
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    return ownPrivateFolder(path);
}

bool makeFolder(const std::string& path) {
    if (path.empty()) return false;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makeFolder(path.substr(0, slash))) return false;
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string runtimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') return std::string(runtime) + "/tallowmere";
    return "/tmp/tallowmere-" + std::to_string(::getuid());
}

bool removeFile(const std::string& path) {
    if (::unlink(path.c_str()) == 0) return true;
    return errno == ENOENT;
}

}  // namespace tw
