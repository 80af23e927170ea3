#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace tw {

// Output text of many cards, made in one order and written in another, kept in large blocks
// instead of one allocation per card. A block is never moved or grown, so text that may hold
// secrets leaves no copies behind; every block is wiped when the arena goes.
class PieceArena {
public:
    static constexpr std::size_t kBlock = 4 * 1024 * 1024;

    PieceArena() = default;
    ~PieceArena();
    PieceArena(const PieceArena&) = delete;
    PieceArena& operator=(const PieceArena&) = delete;

    // Room for a piece of at most `room` bytes, valid until the next call of begin or end.
    char* begin(std::size_t room);
    // Ends the piece begun last, of `used` bytes (at most its room); returns it. The bytes stay
    // where they are until the arena goes.
    std::string_view end(std::size_t used);

private:
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
        std::size_t used = 0;
        std::size_t touched = 0;  // how far pieces may have been written
    };
    std::vector<Block> m_blocks;
};

}  // namespace tw
