#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/PieceArena.h"

namespace tw {
namespace {

// Pieces of every size, some larger than a block and some ending short of their room, read back
// whole after many more were made: no piece is moved or overwritten by a later one.
TEST(PieceArenaTest, PiecesStayWhereTheyWereMadeAcrossBlocks) {
    PieceArena arena;
    std::vector<std::string> made;
    std::vector<std::string_view> pieces;
    const std::size_t sizes[] = {0, 1, 7, 4096, PieceArena::kBlock - 10, 3, PieceArena::kBlock + 5, 100, 1};
    for (int round = 0; round < 3; ++round) {
        for (std::size_t size : sizes) {
            std::string text(size, static_cast<char>('a' + made.size() % 26));
            char* at = arena.begin(size + 64);  // more room than is used
            std::memcpy(at, text.data(), text.size());
            pieces.push_back(arena.end(text.size()));
            made.push_back(std::move(text));
        }
    }
    for (std::size_t i = 0; i < made.size(); ++i) EXPECT_EQ(pieces[i], made[i]) << "piece " << i;
}

}  // namespace
}  // namespace tw
