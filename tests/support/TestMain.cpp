#include "TestHome.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

int main(int argc, char** argv)
{
    // Home must be in place before the code under test first reads it.
    const std::string home = TestHome::path();
    std::signal(SIGPIPE, SIG_IGN);
    testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return status;
}
