#include "platform/System.h"

#include <sched.h>
#include <unistd.h>

#include <ctime>

namespace tw {

std::uint64_t HostSystem::availableMemory() {
    const long pages = ::sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return 16ull << 20;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

void HostSystem::pause(unsigned) {
    // A yield at most once in 10 ms: a yield per record let a busy machine's other work run
    // between every two records of a pass. The coarse clock (a few milliseconds fine) is read
    // without touching the hardware timer; a pass calls this several times for every record.
    timespec ts{};
    if (::clock_gettime(CLOCK_MONOTONIC_COARSE, &ts) != 0) return;
    const std::int64_t now = static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
    thread_local std::int64_t lastYield = 0;
    if (now - lastYield < 10'000'000) return;
    lastYield = now;
    ::sched_yield();
}

}  // namespace tw
