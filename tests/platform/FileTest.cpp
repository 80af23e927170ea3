#include <gtest/gtest.h>

#include "platform/MemoryFile.h"

namespace tw {
namespace {

TEST(BlockTransfer, ResultCodes) {
    MemoryFileSystem fs;
    fs.setBytes("w", std::vector<std::uint8_t>(10, 7));
    auto file = fs.open("w", OpenMode::ReadWrite);
    std::uint8_t buf[20] = {};
    std::size_t moved = 99;

    EXPECT_EQ(readBlock(file.get(), nullptr, 4, &moved), FileResult::NoBuffer);
    EXPECT_EQ(readBlock(nullptr, buf, 4, &moved), FileResult::NoFile);
    EXPECT_EQ(writeBlock(nullptr, buf, 4, &moved), FileResult::NoFile);
    EXPECT_EQ(moved, 99u) << "the count is set only once buffer and handle are good";

    const auto writesBefore = fs.faults().writes;
    EXPECT_EQ(writeBlock(file.get(), buf, 0, &moved), FileResult::Done);
    EXPECT_EQ(moved, 0u);
    EXPECT_EQ(fs.faults().writes, writesBefore) << "a zero count never touches the file";

    EXPECT_EQ(readBlock(file.get(), buf, 4, &moved), FileResult::Done);
    EXPECT_EQ(moved, 4u);
    EXPECT_EQ(readBlock(file.get(), buf, 20, &moved), FileResult::Short);
    EXPECT_EQ(moved, 6u);
    EXPECT_EQ(readBlock(file.get(), buf, 4, &moved), FileResult::Nothing);

    fs.faults().failReadAt = fs.faults().reads + 1;
    file->seekTo(0);
    EXPECT_EQ(readBlock(file.get(), buf, 4, &moved), FileResult::CallFailed);
}

TEST(MemoryFileSystem, InjectedWriteFaults) {
    MemoryFileSystem fs;
    auto file = fs.open("f", OpenMode::CreateNew);
    const std::uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    fs.faults().shortWriteAt = 2;
    fs.faults().failWriteAt = 3;
    EXPECT_EQ(writeBlock(file.get(), data, 8), FileResult::Done);
    EXPECT_EQ(writeBlock(file.get(), data, 8), FileResult::Short);
    EXPECT_EQ(writeBlock(file.get(), data, 8), FileResult::CallFailed);
    EXPECT_EQ(fs.bytes("f").size(), 12u);

    fs.resetFaults();
    fs.faults().writeLimit = 14;
    EXPECT_EQ(writeBlock(file.get(), data, 8), FileResult::Short);
    EXPECT_EQ(fs.bytes("f").size(), 14u);
    EXPECT_EQ(writeBlock(file.get(), data, 8), FileResult::Nothing);
}

// What a power cut would leave: a file is renamed only once what was written to it is synced.
TEST(MemoryFileSystem, RenameRefusesAFileWithUnsyncedWrites) {
    MemoryFileSystem fs;
    auto file = fs.open("new", OpenMode::CreateNew);
    const std::uint8_t data[4] = {1, 2, 3, 4};
    ASSERT_EQ(writeBlock(file.get(), data, 4), FileResult::Done);
    EXPECT_FALSE(fs.rename("new", "old"));
    ASSERT_TRUE(fs.open("new", OpenMode::ReadWrite)->flush()) << "a sync through any handle counts";
    EXPECT_TRUE(fs.rename("new", "old"));
    ASSERT_TRUE(file->seekTo(2) && file->truncateHere());
    EXPECT_FALSE(fs.rename("old", "other")) << "a shortened file is unsynced too";
}

}  // namespace
}  // namespace tw
