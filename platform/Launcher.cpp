#include "platform/Launcher.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace tw {

bool PosixLauncher::start(const std::string& program, const std::vector<std::string>& args) {
    if (program.empty()) return false;
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    // A pipe tells the parent whether exec succeeded: it is closed on exec, written on failure.
    int status[2];
    if (::pipe2(status, O_CLOEXEC) != 0) return false;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(status[0]);
        ::close(status[1]);
        return false;
    }
    if (child == 0) {
        // The child starts the program in a grandchild and leaves at once, so nothing waits
        // for the program and it leaves no zombie behind.
        ::close(status[0]);
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::setsid();
            ::execvp(argv[0], argv.data());
            const char failed = 1;
            (void)!::write(status[1], &failed, 1);
            ::_exit(127);
        }
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    ::close(status[1]);
    int childStatus = 0;
    while (::waitpid(child, &childStatus, 0) < 0 && errno == EINTR) {
    }
    char failed = 0;
    ssize_t n;
    do {
        n = ::read(status[0], &failed, 1);
    } while (n < 0 && errno == EINTR);
    ::close(status[0]);
    return WIFEXITED(childStatus) && WEXITSTATUS(childStatus) == 0 && n == 0;
}

bool PosixLauncher::openDefault(const std::string& address) {
    return start("xdg-open", {address});
}

}  // namespace tw
