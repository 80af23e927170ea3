#include "platform/LockFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

namespace tw {
namespace {

std::string ownerText() {
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
    std::string program = "tallowmere";
    char exe[4096];
    if (const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe); n > 0) {
        program.assign(exe, static_cast<std::size_t>(n));
        program = program.substr(program.rfind('/') + 1);
    }
    return std::to_string(::getpid()) + "\n" + program + "\n" + host + "\n";
}

}  // namespace

bool LockFile::tryLock() {
    const int fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const std::string text = ownerText();
    if (::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()) ||
        ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        ::unlink(m_path.c_str());
        return false;
    }
    m_fd = fd;
    return true;
}

bool LockFile::removeIfStale() {
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT;
    bool stale = false;
    struct stat st {};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &st) == 0) {
        char buffer[512] = {};
        const ssize_t n = ::pread(fd, buffer, sizeof buffer - 1, 0);
        const long pid = n > 0 ? std::strtol(buffer, nullptr, 10) : 0;
        const bool ownerGone = pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
        const bool old = std::time(nullptr) - st.st_mtime > 30;
        stale = ownerGone || old;
    }
    if (stale) ::unlink(m_path.c_str());
    ::close(fd);
    return stale;
}

bool LockFile::lock(std::chrono::milliseconds wait) {
    if (m_fd >= 0) return true;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (true) {
        if (tryLock()) return true;
        if (errno != EEXIST) return false;
        if (removeIfStale()) continue;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void LockFile::unlock() {
    if (m_fd < 0) return;
    ::unlink(m_path.c_str());
    ::close(m_fd);
    m_fd = -1;
}

}  // namespace tw
