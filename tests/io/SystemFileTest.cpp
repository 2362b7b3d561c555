#include "nevrik/io/SystemFile.h"

#include "io/TempFolder.h"
#include "nevrik/io/IllegalPositionModeException.h"
#include "nevrik/io/SystemFileFactory.h"

#include <gtest/gtest.h>

#include <string>

namespace nevrik::io {
namespace {

using object::Pointer;

class SystemFileTest : public ::testing::Test {
protected:
    Pointer<File> open(std::uint32_t mode = File::kRead | File::kWrite) {
        mFolder.write("file", "0123456789");
        return mFactory.open("file", mode);
    }

    testing::TempFolder mFolder;
    SystemFileFactory mFactory{mFolder.path().c_str()};
};

TEST_F(SystemFileTest, BadModesAndTargetsBeforeTheStartThrowAndLeaveThePosition) {
    Pointer<File> file = open();
    file->seek(4, File::kBegin);
    for (int mode : {0, 4}) {
        try {
            file->seek(1, mode);
            ADD_FAILURE() << "mode " << mode << " was accepted";
        } catch (const IllegalPositionModeException& error) {
            EXPECT_STREQ(error.getMessage().c_str(), "IllegalPositionModeException");
        }
    }
    EXPECT_THROW(file->seek(-5, File::kCurrent), IOException);
    EXPECT_THROW(file->seek(-11, File::kEnd), IOException);
    EXPECT_EQ(file->getPosition(), 4);
    EXPECT_EQ(file->seek(2, File::kCurrent), 6);
    EXPECT_EQ(file->seek(5, File::kEnd), 15);
}

TEST_F(SystemFileTest, SizeQueriesAndChangesKeepThePosition) {
    Pointer<File> file = open();
    file->seek(7, File::kBegin);
    EXPECT_EQ(file->getSize(), 10);
    EXPECT_EQ(file->setSize(20), 20);
    EXPECT_EQ(file->getPosition(), 7);
    // Shrinking below the position leaves the position past the end.
    EXPECT_EQ(file->setSize(3), 3);
    EXPECT_EQ(file->getPosition(), 7);
    EXPECT_EQ(file->getSize(), 3);
    EXPECT_TRUE(file->rewind());
    EXPECT_EQ(file->getPosition(), 0);
}

TEST_F(SystemFileTest, SetSizeWithoutWriteAccessThrowsAndChangesNothing) {
    Pointer<File> file = open(File::kRead);
    file->seek(5, File::kBegin);
    EXPECT_THROW(file->setSize(2), IOException);
    EXPECT_EQ(file->getPosition(), 5);
    EXPECT_EQ(file->getSize(), 10);
}

TEST_F(SystemFileTest, TimesAreTheFilesOwnAndRecent) {
    Pointer<File> file = open();
    system::Timestamp now;
    now.now();
    const std::uint64_t minute = 60ull * 1000 * 1000;
    for (const system::Timestamp& time :
         {file->getCreationTime(), file->getModificationTime(), file->getAccessTime()}) {
        EXPECT_LT(time.getMicroseconds(), now.getMicroseconds() + minute);
        EXPECT_GT(time.getMicroseconds(), now.getMicroseconds() - minute);
    }
}

}  // namespace
}  // namespace nevrik::io
