#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/ProcessGuard.h"

namespace tw {
namespace {

// The kilobytes this process has locked in memory, from /proc/self/status.
long lockedKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmLck:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// In a child process, so that this test program stays as it was.
TEST(ProcessGuard, AProgramKeepsOutOfCoreDumps) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        keepOutOfCoreDumps();
        struct rlimit core {};
        ::getrlimit(RLIMIT_CORE, &core);
        ::_exit(::prctl(PR_GET_DUMPABLE) == 0 && core.rlim_cur == 0 && core.rlim_max == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Two regions on one page: letting go of one keeps the page locked for the other.
TEST(ProcessGuard, PagesStayLockedWhileARegionOnThemIs) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "under AddressSanitizer mlock succeeds without locking anything";
#endif
    alignas(4096) static unsigned char page[4096];
    const long before = lockedKilobytes();
    if (!lockInMemory(page, 16)) GTEST_SKIP() << "locking memory is not allowed here";
    ASSERT_TRUE(lockInMemory(page + 100, 16));
    EXPECT_GT(lockedKilobytes(), before);
    unlockInMemory(page, 16);
    EXPECT_GT(lockedKilobytes(), before) << "the second region still holds the page";
    unlockInMemory(page + 100, 16);
    EXPECT_EQ(lockedKilobytes(), before);
}

}  // namespace
}  // namespace tw
