#include "platform/System.h"

#include <sched.h>
#include <unistd.h>

namespace tw {

std::uint64_t HostSystem::availableMemory() {
    const long pages = ::sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return 16ull << 20;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

void HostSystem::pause(unsigned) {
    ::sched_yield();
}

}  // namespace tw
