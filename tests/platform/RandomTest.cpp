#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/Random.h"

namespace tw {
namespace {

// A block of numbers drawn ahead must hand them out in the source's own order, across refills.
TEST(BufferedRandom, GivesTheSourcesNumbersInOrderAcrossBlocks) {
    SequenceRandom direct(7);
    SequenceRandom source(7);
    BufferedRandom buffered(source);
    for (std::size_t i = 0; i < 2 * BufferedRandom::kBlock + 5; ++i)
        ASSERT_EQ(buffered.next(), direct.next()) << "number " << i;
}

TEST(OsRandom, FillDrawsEveryWord) {
    OsRandom random;
    std::vector<std::uint32_t> words(64, 0);
    random.fill(words.data(), words.size());
    int zero = 0;
    for (std::uint32_t w : words) zero += w == 0 ? 1 : 0;
    EXPECT_LT(zero, 2);  // a zero word by chance has odds of 2^-32
}

}  // namespace
}  // namespace tw
