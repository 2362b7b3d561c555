#include "nevrik/platform/Executable.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace nevrik::platform {
namespace {

// The build puts this test program in NEVRIK_TEST_PROGRAM_FOLDER, which may
// be reached through symbolic links.
TEST(ExecutableTest, FolderIsTheOneHoldingTheRunningProgram) {
    const std::string folder = Executable::getFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    EXPECT_NE(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::equivalent(folder, NEVRIK_TEST_PROGRAM_FOLDER)) << folder;
}

}  // namespace
}  // namespace nevrik::platform
