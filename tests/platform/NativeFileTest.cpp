#include "nevrik/platform/NativeFile.h"

#include "nevrik/platform/LastError.h"
#include "io/TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>

#include <sys/stat.h>

namespace nevrik::platform {
namespace {

class NativeFileTest : public ::testing::Test {
protected:
    testing::TempFolder mFolder;
};

TEST_F(NativeFileTest, MissingFileAndMissingFolderGiveDifferentCodes) {
    EXPECT_FALSE(NativeFile::open((mFolder / "absent").c_str(), NativeFile::kRead).isOpen());
    EXPECT_EQ(LastError::get(), LastError::kFileNotFound);
    EXPECT_FALSE(NativeFile::open((mFolder / "absent/file").c_str(), NativeFile::kRead).isOpen());
    EXPECT_EQ(LastError::get(), LastError::kPathNotFound);
    mFolder.write("plain", "");
    EXPECT_FALSE(NativeFile::open((mFolder / "plain/file").c_str(), NativeFile::kRead).isOpen());
    EXPECT_EQ(LastError::get(), LastError::kPathNotFound);
    EXPECT_FALSE(NativeFile::create((mFolder / "absent/file").c_str()).isOpen());
    EXPECT_EQ(LastError::get(), LastError::kPathNotFound);
}

TEST_F(NativeFileTest, CreateNeverTruncatesAFileSomeoneHolds) {
    mFolder.write("held", "precious");
    NativeFile holder = NativeFile::open((mFolder / "held").c_str(), NativeFile::kRead);
    ASSERT_TRUE(holder.isOpen());
    EXPECT_FALSE(NativeFile::create((mFolder / "held").c_str()).isOpen());
    EXPECT_EQ(LastError::get(), LastError::kSharingViolation);
    EXPECT_EQ(mFolder.read("held"), "precious");
}

TEST_F(NativeFileTest, TheLockMovesWithTheFileAndEndsWithClose) {
    mFolder.write("f", "");
    const std::string path = mFolder / "f";
    NativeFile first = NativeFile::open(path.c_str(), NativeFile::kRead);
    NativeFile moved(std::move(first));
    EXPECT_FALSE(first.isOpen());
    EXPECT_FALSE(NativeFile::open(path.c_str(), NativeFile::kRead).isOpen());
    EXPECT_TRUE(moved.close());
    EXPECT_TRUE(moved.close());
    EXPECT_TRUE(NativeFile::open(path.c_str(), NativeFile::kRead).isOpen());
}

TEST_F(NativeFileTest, NoAccessOpenRefusesTransfersButSeeks) {
    mFolder.write("f", "abc");
    NativeFile file = NativeFile::open((mFolder / "f").c_str(), 0);
    ASSERT_TRUE(file.isOpen());
    char byte = 0;
    EXPECT_EQ(file.read(&byte, 1), 0);
    EXPECT_EQ(LastError::get(), LastError::kAccessDenied);
    EXPECT_EQ(file.write("x", 1), 0);
    EXPECT_EQ(file.seek(0, NativeFile::Origin::kEnd), 3);
    EXPECT_FALSE(file.truncate());
    EXPECT_EQ(mFolder.read("f"), "abc");
}

TEST_F(NativeFileTest, FoldersAreRefusedAndAFifoOpensWithoutWaitingForAWriter) {
    EXPECT_FALSE(NativeFile::open(mFolder.path().c_str(), NativeFile::kRead).isOpen());
    EXPECT_EQ(LastError::get(), LastError::kAccessDenied);
    EXPECT_FALSE(NativeFile::open(mFolder.path().c_str(), NativeFile::kRead | NativeFile::kWrite).isOpen());
    EXPECT_EQ(LastError::get(), LastError::kAccessDenied);

    const std::string fifo = mFolder / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    NativeFile file = NativeFile::open(fifo.c_str(), NativeFile::kRead);
    ASSERT_TRUE(file.isOpen());
    char byte = 0;
    EXPECT_EQ(file.read(&byte, 1), 0);
    EXPECT_EQ(file.seek(0, NativeFile::Origin::kCurrent), NativeFile::kInvalidPosition);
    EXPECT_EQ(LastError::get(), LastError::kSeekOnDevice);
    EXPECT_EQ(file.getSize(), NativeFile::kInvalidPosition);
    EXPECT_EQ(LastError::get(), LastError::kSeekOnDevice);
}

TEST_F(NativeFileTest, SeeksOutsideTheSigned32BitRangeAreRefusedInPlace) {
    mFolder.write("f", "0123456789");
    NativeFile file = NativeFile::open((mFolder / "f").c_str(), NativeFile::kRead);
    ASSERT_EQ(file.seek(6, NativeFile::Origin::kBegin), 6);
    EXPECT_EQ(file.seek(-7, NativeFile::Origin::kCurrent), NativeFile::kInvalidPosition);
    EXPECT_EQ(LastError::get(), LastError::kNegativeSeek);
    EXPECT_EQ(file.seek(-1, NativeFile::Origin::kBegin), NativeFile::kInvalidPosition);
    EXPECT_EQ(file.seek(INT32_MAX, NativeFile::Origin::kEnd), NativeFile::kInvalidPosition);
    EXPECT_EQ(LastError::get(), LastError::kInvalidParameter);
    EXPECT_EQ(file.seek(0, NativeFile::Origin::kCurrent), 6);
    EXPECT_EQ(file.seek(INT32_MAX, NativeFile::Origin::kBegin), INT32_MAX);
    EXPECT_EQ(file.seek(1, NativeFile::Origin::kCurrent), NativeFile::kInvalidPosition);
    EXPECT_EQ(LastError::get(), LastError::kInvalidParameter);
    EXPECT_EQ(file.seek(0, NativeFile::Origin::kCurrent), INT32_MAX);
    EXPECT_EQ(file.getSize(), 10);
}

TEST_F(NativeFileTest, TruncateCutsAtThePositionAndTimesAreAfter1970) {
    NativeFile file = NativeFile::create((mFolder / "f").c_str());
    ASSERT_EQ(file.write("0123456789", 10), 10);
    file.seek(4, NativeFile::Origin::kBegin);
    EXPECT_TRUE(file.truncate());
    EXPECT_TRUE(file.flush());
    EXPECT_EQ(mFolder.read("f"), "0123");
    NativeFile::Times times;
    ASSERT_TRUE(file.getTimes(times));
    const std::uint64_t unixEpochTicks = 116444736000000000ull;
    EXPECT_GT(times.creation, unixEpochTicks);
    EXPECT_GT(times.modification, unixEpochTicks);
    EXPECT_GT(times.access, unixEpochTicks);
}

TEST_F(NativeFileTest, ExistsDoesNotFollowLinks) {
    std::filesystem::create_symlink("nowhere", mFolder / "dangling");
    EXPECT_TRUE(NativeFile::exists((mFolder / "dangling").c_str()));
    EXPECT_FALSE(NativeFile::exists((mFolder / "nowhere").c_str()));
    EXPECT_FALSE(NativeFile::exists(nullptr));
}

}  // namespace
}  // namespace nevrik::platform
