#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>
#include <vector>

#include "platform/MemoryFile.h"
#include "storage/BufferedFile.h"

namespace tw {
namespace {

std::vector<std::uint8_t> counting(std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{1});
    return bytes;
}

// One step of a walk over a file: seek to `at` (when not kStay), then read `count` bytes.
struct Step {
    static constexpr std::uint64_t kStay = ~std::uint64_t{0};
    std::uint64_t at;
    std::size_t count;
};

// Small items across the buffer's edge, a read longer than the buffer, seeks back into and past
// what is buffered, and reads that meet the end of the 100-byte file.
const std::vector<Step> kWalk = {{Step::kStay, 3},  {Step::kStay, 6},  {Step::kStay, 1}, {2, 5},
                                 {Step::kStay, 20}, {50, 4},           {48, 9},          {Step::kStay, 2},
                                 {90, 4},           {Step::kStay, 30}, {Step::kStay, 5}, {0, 100}};

struct WalkResult {
    bool ok = true;
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> done;
};

// Runs the walk through `file` until a step fails.
WalkResult walk(File& file) {
    WalkResult result;
    for (const Step& step : kWalk) {
        if (step.at != Step::kStay && !file.seekTo(step.at)) return result.ok = false, result;
        std::vector<std::uint8_t> got(step.count);
        std::size_t done = 0;
        if (!file.read(got.data(), got.size(), &done)) return result.ok = false, result;
        result.bytes.insert(result.bytes.end(), got.begin(), got.begin() + static_cast<std::ptrdiff_t>(done));
        result.done.push_back(done);
    }
    return result;
}

TEST(BufferedReader, GivesTheFilesBytesForEveryBufferSize) {
    const auto bytes = std::make_shared<std::vector<std::uint8_t>>(counting(100));
    auto plain = makeMemoryFile(bytes, false);
    const WalkResult expected = walk(*plain);
    ASSERT_TRUE(expected.ok);

    for (const std::size_t chunk : {0, 1, 7, 16, 64, 4096}) {
        SCOPED_TRACE(chunk);
        const auto faults = std::make_shared<FaultPlan>();
        auto file = makeMemoryFile(bytes, false, faults);
        BufferedReader reader(*file, chunk);
        const WalkResult got = walk(reader);
        ASSERT_TRUE(got.ok);
        EXPECT_EQ(got.bytes, expected.bytes);
        EXPECT_EQ(got.done, expected.done);
        EXPECT_EQ(reader.position(), 100u);
        // A buffer larger than the file reads it whole with one call; then come the two reads
        // at its end and the one after the seek back to its start.
        if (chunk == 4096) {
            EXPECT_LE(faults->reads, 4u);
        }
    }
}

// A file that gives fewer bytes than asked is read on until the item is whole; with no buffer,
// each read is the caller's own and stays short.
TEST(BufferedReader, ShortReadsOfTheFileAreReadOn) {
    const auto bytes = std::make_shared<std::vector<std::uint8_t>>(counting(100));
    for (const std::size_t chunk : {7, 64}) {
        for (std::uint64_t k = 1; k <= 6; ++k) {
            SCOPED_TRACE(testing::Message() << "chunk " << chunk << " short read " << k);
            const auto faults = std::make_shared<FaultPlan>();
            faults->shortReadAt = k;
            auto plain = makeMemoryFile(bytes, false);
            auto file = makeMemoryFile(bytes, false, faults);
            BufferedReader reader(*file, chunk);
            EXPECT_EQ(walk(reader).bytes, walk(*plain).bytes);
        }
    }
    const auto faults = std::make_shared<FaultPlan>();
    faults->shortReadAt = 1;
    auto file = makeMemoryFile(bytes, false, faults);
    BufferedReader reader(*file, 0);
    std::uint8_t item[10];
    std::size_t done = 0;
    ASSERT_TRUE(reader.read(item, sizeof item, &done));
    EXPECT_EQ(done, 5u);
}

// Whichever read call of the file fails, the walk fails at it, and what it served before is
// the file's.
TEST(BufferedReader, EveryFailingReadOfTheFileFailsTheRead) {
    const auto bytes = std::make_shared<std::vector<std::uint8_t>>(counting(100));
    auto plain = makeMemoryFile(bytes, false);
    const WalkResult expected = walk(*plain);
    for (const std::size_t chunk : {0, 7, 64}) {
        const auto clean = std::make_shared<FaultPlan>();
        auto cleanFile = makeMemoryFile(bytes, false, clean);
        BufferedReader cleanReader(*cleanFile, chunk);
        ASSERT_TRUE(walk(cleanReader).ok);
        for (std::uint64_t k = 1; k <= clean->reads; ++k) {
            SCOPED_TRACE(testing::Message() << "chunk " << chunk << " failing read " << k);
            const auto faults = std::make_shared<FaultPlan>();
            faults->failReadAt = k;
            auto file = makeMemoryFile(bytes, false, faults);
            BufferedReader reader(*file, chunk);
            const WalkResult got = walk(reader);
            EXPECT_FALSE(got.ok);
            EXPECT_TRUE(std::equal(got.bytes.begin(), got.bytes.end(), expected.bytes.begin()));
        }
    }
}

TEST(BufferedReader, RefusesToWriteAndSeeksBeforeTheStartFail) {
    const auto bytes = std::make_shared<std::vector<std::uint8_t>>(counting(10));
    auto file = makeMemoryFile(bytes, true);
    BufferedReader reader(*file, 4);
    std::size_t done = 1;
    EXPECT_FALSE(reader.write("x", 1, &done));
    EXPECT_EQ(done, 0u);
    EXPECT_FALSE(reader.seek(-1, SeekFrom::Current));
    std::uint64_t at = 0;
    ASSERT_TRUE(reader.seek(-3, SeekFrom::End, &at));
    EXPECT_EQ(at, 7u);
    std::uint8_t last[3];
    EXPECT_EQ(readBlock(&reader, last, sizeof last), FileResult::Done);
    EXPECT_EQ(last[2], 10);
}

// Items of every size, gathered: the file gets the same bytes, in calls that each fill the buffer
// but the last.
TEST(BufferedWriter, WritesTheSameBytesInFullBuffers) {
    const std::vector<std::size_t> items = {3, 10, 1, 0, 30, 100, 2, 16, 5};
    const std::vector<std::uint8_t> source = counting(200);
    for (const std::size_t chunk : {0, 1, 8, 16, 64, 4096}) {
        SCOPED_TRACE(chunk);
        const auto bytes = std::make_shared<std::vector<std::uint8_t>>();
        const auto faults = std::make_shared<FaultPlan>();
        auto file = makeMemoryFile(bytes, true, faults);
        std::vector<std::uint8_t> expected;
        {
            BufferedWriter writer(*file, chunk, Wipe::Yes);
            std::size_t at = 0;
            for (const std::size_t n : items) {
                ASSERT_EQ(writer.put(source.data() + at, n), FileResult::Done);
                expected.insert(expected.end(), source.begin() + static_cast<std::ptrdiff_t>(at),
                                source.begin() + static_cast<std::ptrdiff_t>(at + n));
                at += n;
            }
            ASSERT_EQ(writer.finish(), FileResult::Done);
        }
        EXPECT_EQ(*bytes, expected);
        if (chunk >= 8) {
            EXPECT_LE(faults->writes, expected.size() / chunk + 1);
        }
    }
}

// Whichever write or flush of the file fails or falls short, the writer says so, and bytes it
// still held are not written later.
TEST(BufferedWriter, EveryFailingWriteOrFlushIsReported) {
    const std::vector<std::uint8_t> source = counting(100);
    struct Case {
        const char* name;
        std::uint64_t FaultPlan::*point;
        FileResult expected;
    };
    const Case cases[] = {{"fails", &FaultPlan::failWriteAt, FileResult::CallFailed},
                          {"short", &FaultPlan::shortWriteAt, FileResult::Short}};
    for (const Case& c : cases) {
        for (std::uint64_t k = 1; k <= 4; ++k) {
            SCOPED_TRACE(testing::Message() << "write " << k << " " << c.name);
            const auto bytes = std::make_shared<std::vector<std::uint8_t>>();
            const auto faults = std::make_shared<FaultPlan>();
            (*faults).*c.point = k;
            auto file = makeMemoryFile(bytes, true, faults);
            BufferedWriter writer(*file, 16);
            FileResult first = FileResult::Done;
            for (std::size_t at = 0; at < 60 && first == FileResult::Done; at += 6)
                first = writer.put(source.data() + at, 6);
            if (first == FileResult::Done) first = writer.finish();
            EXPECT_EQ(first, c.expected);
            EXPECT_EQ(writer.finish(), FileResult::Done);  // nothing left over to write
        }
    }

    const auto faults = std::make_shared<FaultPlan>();
    faults->failSyncAt = 1;
    auto file = makeMemoryFile(std::make_shared<std::vector<std::uint8_t>>(), true, faults);
    BufferedWriter writer(*file, 16);
    ASSERT_EQ(writer.put(source.data(), 5), FileResult::Done);
    EXPECT_FALSE(writer.flush());
    EXPECT_EQ(faults->writes, 1u);  // the buffered bytes went out before the failing sync
}

}  // namespace
}  // namespace tw
