#include "nevrik/io/SystemFile.h"

#include "nevrik/io/IllegalPositionModeException.h"
#include "nevrik/io/SystemFileFactory.h"
#include "io/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace nevrik::io {
namespace {

using object::Pointer;

class SystemFileTest : public ::testing::Test {
protected:
    Pointer<File> open(const std::string& bytes, std::uint32_t mode = File::kRead | File::kWrite) {
        mFolder.write("file", bytes);
        return mFactory.open("file", mode);
    }

    testing::TempFolder mFolder;
    SystemFileFactory mFactory{mFolder.path().c_str()};
};

TEST_F(SystemFileTest, UnknownPositionModesThrowAndLeaveThePosition) {
    Pointer<File> file = open("0123456789");
    file->seek(4, File::kBegin);
    for (int mode : {0, 4, -1}) {
        try {
            file->seek(1, mode);
            ADD_FAILURE() << "mode " << mode << " was accepted";
        } catch (const IllegalPositionModeException& error) {
            EXPECT_STREQ(error.getMessage().c_str(), "IllegalPositionModeException");
        }
        EXPECT_EQ(file->getPosition(), 4);
    }
}

TEST_F(SystemFileTest, SeekCountsFromEachOriginAndMayPassTheEnd) {
    Pointer<File> file = open("0123456789");
    EXPECT_EQ(file->seek(3, File::kBegin), 3);
    EXPECT_EQ(file->seek(2, File::kCurrent), 5);
    EXPECT_EQ(file->seek(-1, File::kEnd), 9);
    EXPECT_EQ(file->seek(5, File::kEnd), 15);
    char byte = 0;
    EXPECT_EQ(file->read(&byte, 1), 0);
}

TEST_F(SystemFileTest, SeekBeforeTheStartThrowsAndStaysPut) {
    Pointer<File> file = open("0123456789");
    file->seek(2, File::kBegin);
    EXPECT_THROW(file->seek(-3, File::kCurrent), IOException);
    EXPECT_THROW(file->seek(-11, File::kEnd), IOException);
    EXPECT_EQ(file->getPosition(), 2);
}

TEST_F(SystemFileTest, SizeQueriesAndChangesKeepThePosition) {
    Pointer<File> file = open("0123456789");
    file->seek(7, File::kBegin);
    EXPECT_EQ(file->getSize(), 10);
    EXPECT_EQ(file->getPosition(), 7);
    EXPECT_EQ(file->setSize(20), 20);
    EXPECT_EQ(file->getPosition(), 7);
    EXPECT_EQ(file->getSize(), 20);
    // Shrinking below the position leaves the position past the end.
    EXPECT_EQ(file->setSize(3), 3);
    EXPECT_EQ(file->getPosition(), 7);
    EXPECT_EQ(file->getSize(), 3);
    file.reset();
    EXPECT_EQ(mFolder.read("file"), "012");
}

TEST_F(SystemFileTest, SetSizeWithoutWriteAccessThrowsAndChangesNothing) {
    Pointer<File> file = open("0123456789", File::kRead);
    file->seek(5, File::kBegin);
    EXPECT_THROW(file->setSize(2), IOException);
    EXPECT_EQ(file->getPosition(), 5);
    EXPECT_EQ(file->getSize(), 10);
}

TEST_F(SystemFileTest, RewindReturnsToTheStart) {
    Pointer<File> file = open("abc");
    file->seek(0, File::kEnd);
    EXPECT_TRUE(file->rewind());
    char bytes[4] = {};
    EXPECT_EQ(file->read(bytes, 4), 3);
    EXPECT_STREQ(bytes, "abc");
}

TEST_F(SystemFileTest, WritesGoThroughAndFlush) {
    Pointer<File> file = open("");
    EXPECT_EQ(file->write("hello", 5), 5);
    EXPECT_EQ(file->write("!", -1), 0);
    EXPECT_TRUE(file->flush());
    EXPECT_EQ(mFolder.read("file"), "hello");
}

TEST_F(SystemFileTest, TimesAreTheFilesOwnAndRecent) {
    Pointer<File> file = open("x");
    system::Timestamp now;
    now.now();
    const std::uint64_t minute = 60ull * 1000 * 1000;
    for (const system::Timestamp& time :
         {file->getCreationTime(), file->getModificationTime(), file->getAccessTime()}) {
        EXPECT_LT(time.getMicroseconds(), now.getMicroseconds() + minute);
        EXPECT_GT(time.getMicroseconds(), now.getMicroseconds() - minute);
    }
}

TEST_F(SystemFileTest, ReportsItsClassPathAndEmbedsItsStreams) {
    Pointer<File> file = open("x");
    EXPECT_STREQ(file->className().c_str(), "Object:File:SystemFile");
    EXPECT_EQ(&file->getInputStream(), &file->getInputStream());
    // The embedded streams hold no reference on the file.
    EXPECT_EQ(file->getReferenceCount(), 1);
}

}  // namespace
}  // namespace nevrik::io
