#include "platform/System.h"

#include <sched.h>
#include <unistd.h>

#include <chrono>

namespace tw {

std::uint64_t HostSystem::availableMemory() {
    const long pages = ::sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return 16ull << 20;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

void HostSystem::pause(unsigned) {
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    // A yield at most once in 10 ms: a yield per record let a busy machine's other work run
    // between every two records of a pass.
    thread_local std::int64_t lastYield = 0;
    if (now - lastYield < 10'000'000) return;
    lastYield = now;
    ::sched_yield();
}

}  // namespace tw
