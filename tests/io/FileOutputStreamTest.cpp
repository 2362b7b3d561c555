#include "nevrik/io/FileOutputStream.h"

#include "io/TempFolder.h"
#include "nevrik/io/SystemFileFactory.h"

#include <gtest/gtest.h>

namespace nevrik::io {
namespace {

using object::Pointer;

TEST(FileOutputStreamTest, ReadOnlyFileWritesNothing) {
    testing::TempFolder folder;
    folder.write("file", "keep");
    Pointer<File> file = SystemFileFactory(folder.path().c_str()).open("file", File::kRead);
    EXPECT_EQ(file->getOutputStream().write("gone", 4), 0);
    EXPECT_EQ(file->getPosition(), 0);
    file.reset();
    EXPECT_EQ(folder.read("file"), "keep");
}

TEST(FileOutputStreamTest, StandAloneStreamDropsItsReferenceExactlyOnce) {
    testing::TempFolder folder;
    Pointer<File> file = SystemFileFactory(folder.path().c_str()).create("file");
    FileOutputStream stream(file.get());
    EXPECT_EQ(stream.write("ab", 2), 2);
    EXPECT_EQ(file->getReferenceCount(), 2);
    EXPECT_TRUE(stream.close());
    EXPECT_TRUE(stream.close());
    EXPECT_EQ(file->getReferenceCount(), 1);
    EXPECT_EQ(stream.write("x", 1), 0);
    EXPECT_FALSE(stream.flush());
    EXPECT_EQ(file->getSize(), 2);
}

}  // namespace
}  // namespace nevrik::io
