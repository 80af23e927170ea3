#include "platform/PieceArena.h"

#include <string.h>

#include <algorithm>

namespace tw {

PieceArena::~PieceArena() {
    for (Block& b : m_blocks)
        if (b.touched > 0) explicit_bzero(b.bytes.get(), b.touched);
}

char* PieceArena::begin(std::size_t room) {
    if (m_blocks.empty() || m_blocks.back().size - m_blocks.back().used < room) {
        Block b;
        b.size = std::max(room, kBlock);
        b.bytes = std::make_unique_for_overwrite<char[]>(b.size);
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
