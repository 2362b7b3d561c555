#include "nevrik/platform/NativeFile.h"

#include "io/TempFolder.h"
#include "nevrik/platform/LastError.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include <sys/stat.h>

namespace nevrik::platform {
namespace {

using Origin = NativeFile::Origin;

TEST(NativeFileTest, TheLockMovesWithTheFileAndEndsWithClose) {
    testing::TempFolder folder;
    folder.write("f", "");
    const std::string path = folder / "f";
    NativeFile first = NativeFile::open(path.c_str(), NativeFile::kRead);
    NativeFile moved(std::move(first));
    EXPECT_FALSE(NativeFile::open(path.c_str(), 0).isOpen());
    EXPECT_EQ(LastError::get(), LastError::kSharingViolation);
    EXPECT_TRUE(moved.close());
    EXPECT_TRUE(moved.close());
    EXPECT_TRUE(NativeFile::open(path.c_str(), NativeFile::kRead).isOpen());
}

TEST(NativeFileTest, FoldersAreRefusedAndAFifoOpensWithoutWaitingForAWriter) {
    testing::TempFolder folder;
    EXPECT_FALSE(NativeFile::open(folder.path().c_str(), NativeFile::kRead).isOpen());
    EXPECT_EQ(LastError::get(), LastError::kAccessDenied);
    const std::string fifo = folder / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    NativeFile file = NativeFile::open(fifo.c_str(), NativeFile::kRead);
    ASSERT_TRUE(file.isOpen());
    char byte = 0;
    EXPECT_EQ(file.read(&byte, 1), 0);
    EXPECT_EQ(file.seek(0, Origin::kCurrent), NativeFile::kInvalidPosition);
    EXPECT_EQ(LastError::get(), LastError::kSeekOnDevice);
    EXPECT_EQ(file.getSize(), NativeFile::kInvalidPosition);
}

TEST(NativeFileTest, SeeksOutsideTheSigned32BitRangeAreRefusedInPlace) {
    testing::TempFolder folder;
    folder.write("f", "0123456789");
    NativeFile file = NativeFile::open((folder / "f").c_str(), NativeFile::kRead);
    ASSERT_EQ(file.seek(6, Origin::kBegin), 6);
    EXPECT_EQ(file.seek(-7, Origin::kCurrent), NativeFile::kInvalidPosition);
    EXPECT_EQ(LastError::get(), LastError::kNegativeSeek);
    EXPECT_EQ(file.seek(INT32_MAX, Origin::kEnd), NativeFile::kInvalidPosition);
    EXPECT_EQ(LastError::get(), LastError::kInvalidParameter);
    EXPECT_EQ(file.seek(0, Origin::kCurrent), 6);
    EXPECT_EQ(file.seek(INT32_MAX, Origin::kBegin), INT32_MAX);
    EXPECT_EQ(file.seek(1, Origin::kCurrent), NativeFile::kInvalidPosition);
    EXPECT_EQ(file.seek(0, Origin::kCurrent), INT32_MAX);
}

}  // namespace
}  // namespace nevrik::platform
