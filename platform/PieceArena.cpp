#include "platform/PieceArena.h"

#include <string.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace tw {

PieceArena::~PieceArena() {
    for (Block& b : m_blocks)
        if (b.touched > 0) explicit_bzero(b.bytes.get(), b.touched);
}

char* PieceArena::begin(std::size_t room) {
    if (m_blocks.empty() || m_blocks.back().size - m_blocks.back().used < room) {
        Block b;
        b.size = std::max(room, kBlock);
        // Blocks on huge-page bounds, offered to the kernel as huge pages: a large export then
        // takes a few hundred page faults instead of one for every 4 KiB.
        b.size = (b.size + kHugePage - 1) / kHugePage * kHugePage;
        b.bytes.reset(static_cast<char*>(std::aligned_alloc(kHugePage, b.size)));
        if (!b.bytes) throw std::bad_alloc();
        ::madvise(b.bytes.get(), b.size, MADV_HUGEPAGE);
        m_blocks.push_back(std::move(b));
    }
    Block& b = m_blocks.back();
    b.touched = std::max(b.touched, b.used + room);
    return b.bytes.get() + b.used;
}

std::string_view PieceArena::end(std::size_t used) {
    Block& b = m_blocks.back();
    const std::string_view piece(b.bytes.get() + b.used, used);
    b.used += used;
    return piece;
}

}  // namespace tw
