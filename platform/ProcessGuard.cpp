#include "platform/ProcessGuard.h"

#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <mutex>

namespace tw {
namespace {

std::mutex g_lock;
std::map<std::uintptr_t, int>& lockedPages() {
    static std::map<std::uintptr_t, int> pages;
    return pages;
}

std::uintptr_t pageSize() {
    static const std::uintptr_t size = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    return size;
}

}  // namespace

void keepOutOfCoreDumps() {
    (void)::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    const struct rlimit none { 0, 0 };
    (void)::setrlimit(RLIMIT_CORE, &none);
}

bool lockInMemory(const void* data, std::size_t size) {
    if (data == nullptr || size == 0) return true;
    const std::uintptr_t page = pageSize();
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(data) & ~(page - 1);
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(data) + size;
    const std::lock_guard<std::mutex> guard(g_lock);
    for (std::uintptr_t p = first; p < end; p += page) {
        int& count = lockedPages()[p];
        if (count == 0 && ::mlock(reinterpret_cast<const void*>(p), page) != 0) {
            lockedPages().erase(p);
            // Let go of what this call locked: the region is either locked whole or not at all.
            for (std::uintptr_t q = first; q < p; q += page) {
                auto it = lockedPages().find(q);
                if (it != lockedPages().end() && --it->second == 0) {
                    ::munlock(reinterpret_cast<const void*>(q), page);
                    lockedPages().erase(it);
                }
            }
            return false;
        }
        ++count;
    }
    return true;
}

void unlockInMemory(const void* data, std::size_t size) {
    if (data == nullptr || size == 0) return;
    const std::uintptr_t page = pageSize();
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(data) & ~(page - 1);
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(data) + size;
    const std::lock_guard<std::mutex> guard(g_lock);
    for (std::uintptr_t p = first; p < end; p += page) {
        auto it = lockedPages().find(p);
        if (it == lockedPages().end()) continue;
        if (--it->second == 0) {
            ::munlock(reinterpret_cast<const void*>(p), page);
            lockedPages().erase(it);
        }
    }
}

}  // namespace tw
