#pragma once

#include <cstddef>

namespace tw {

// Keeps secrets out of core dumps and swap.

// Makes this process non-dumpable (no core file, no attaching by other processes of the user)
// and sets its core-file limit to 0. Called first thing by the programs; quiet when refused.
void keepOutOfCoreDumps();

// Locks the pages holding [data, data + size) in memory so that they are never written to swap;
// false (and nothing else) when the system does not allow it, as beyond RLIMIT_MEMLOCK. Pages are
// counted, so that two regions on one page stay locked until both are let go.
bool lockInMemory(const void* data, std::size_t size);
void unlockInMemory(const void* data, std::size_t size);

}  // namespace tw
