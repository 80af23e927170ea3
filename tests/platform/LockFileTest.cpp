#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/LockFile.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

class LockFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("tw-lock-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string path() const { return (m_dir / "registry-hkcu.ini.lock").string(); }

    fs::path m_dir;
};

TEST_F(LockFileTest, takesTurnsAndTakesOverStaleLocks) {
    {
        LockFile first(path());
        ASSERT_TRUE(first.lock(milliseconds(0)));
        LockFile second(path());
        EXPECT_FALSE(second.lock(milliseconds(50))) << "held by a live owner";
    }
    EXPECT_FALSE(fs::exists(path())) << "unlocking removes the lock file";

    // Left behind by a process that has ended (no flock is held on it any more).
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    std::ofstream(path()) << child << "\nold\nhost\n";
    LockFile third(path());
    EXPECT_TRUE(third.lock(milliseconds(0)));
}

TEST_F(LockFileTest, missingFolder_fails) {
    LockFile lock((m_dir / "none" / "x.lock").string());
    EXPECT_FALSE(lock.lock(milliseconds(0)));
}

}  // namespace
}  // namespace tw
