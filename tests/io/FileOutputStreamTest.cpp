#include "nevrik/io/FileOutputStream.h"

#include "nevrik/io/SystemFileFactory.h"
#include "io/TempFolder.h"

#include <gtest/gtest.h>

namespace nevrik::io {
namespace {

using object::Pointer;

class FileOutputStreamTest : public ::testing::Test {
protected:
    testing::TempFolder mFolder;
    SystemFileFactory mFactory{mFolder.path().c_str()};
};

TEST_F(FileOutputStreamTest, ReadOnlyFileWritesNothing) {
    mFolder.write("file", "keep");
    Pointer<File> file = mFactory.open("file", File::kRead);
    EXPECT_EQ(file->getOutputStream().write("gone", 4), 0);
    EXPECT_EQ(file->getPosition(), 0);
    file.reset();
    EXPECT_EQ(mFolder.read("file"), "keep");
}

TEST_F(FileOutputStreamTest, WritesThroughTheFileAndFlushes) {
    Pointer<File> file = mFactory.create("file");
    OutputStream& stream = file->getOutputStream();
    EXPECT_EQ(stream.write("abc", 3), 3);
    EXPECT_TRUE(stream.flush());
    EXPECT_TRUE(stream.close());
    EXPECT_EQ(stream.write("d", 1), 1);
    file.reset();
    EXPECT_EQ(mFolder.read("file"), "abcd");
}

TEST_F(FileOutputStreamTest, StandAloneStreamDropsItsReferenceExactlyOnce) {
    Pointer<File> file = mFactory.create("file");
    FileOutputStream stream(file.get());
    EXPECT_EQ(file->getReferenceCount(), 2);
    EXPECT_TRUE(stream.close());
    EXPECT_TRUE(stream.close());
    EXPECT_EQ(file->getReferenceCount(), 1);
    EXPECT_EQ(stream.write("x", 1), 0);
    EXPECT_FALSE(stream.flush());
    EXPECT_EQ(file->getSize(), 0);
}

}  // namespace
}  // namespace nevrik::io
