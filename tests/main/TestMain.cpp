// The main of every test program. Tests never read or write the user's own settings and do not
// depend on the user's locale: each program gets its own configuration folder in the build
// folder and the "C" locale before any test runs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    const std::string config =
        std::string(TW_TEST_CONFIG_DIR) + "/" + std::filesystem::path(argv[0]).filename().string();
    std::filesystem::create_directories(config);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ::setenv("LC_ALL", "C", 1);
    ::setenv("LANG", "C", 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
