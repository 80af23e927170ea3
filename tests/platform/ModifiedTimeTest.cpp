#include <gtest/gtest.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/PosixFile.h"

namespace tw {
namespace {

TEST(PosixFileSystem, ModifiedTimeIsUtcWithoutLocalAdjustment) {
    char path[] = "/tmp/tw-mtime-XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const timeval times[2] = {{1136214245, 0}, {1136214245, 250000}};  // 2006-01-02 15:04:05.250 UTC
    ASSERT_EQ(::utimes(path, times), 0);

    PosixFileSystem fs;
    SystemTime t;
    ASSERT_TRUE(fs.modifiedTime(path, &t));
    EXPECT_EQ(t, (SystemTime{2006, 1, 1, 2, 15, 4, 5, 250}));
    ::unlink(path);
    EXPECT_FALSE(fs.modifiedTime(path, &t));
}

}  // namespace
}  // namespace tw
