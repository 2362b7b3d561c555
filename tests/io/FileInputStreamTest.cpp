#include "nevrik/io/FileInputStream.h"

#include "io/TempFolder.h"
#include "nevrik/io/SystemFileFactory.h"

#include <gtest/gtest.h>

namespace nevrik::io {
namespace {

using object::Pointer;

class FileInputStreamTest : public ::testing::Test {
protected:
    Pointer<File> open(std::uint32_t mode) {
        mFolder.write("file", "0123456789");
        return mFactory.open("file", mode);
    }

    testing::TempFolder mFolder;
    SystemFileFactory mFactory{mFolder.path().c_str()};
};

TEST_F(FileInputStreamTest, WriteOnlyFileReadsNothingAndDoesNotMove) {
    Pointer<File> file = open(File::kWrite);
    file->seek(3, File::kBegin);
    char bytes[4] = {};
    EXPECT_EQ(file->getInputStream().read(bytes, 4), 0);
    EXPECT_EQ(file->getPosition(), 3);
}

TEST_F(FileInputStreamTest, SkipPastTheEndMovesTheWholeCountAndLeavesNothingAvailable) {
    Pointer<File> file = open(File::kRead);
    InputStream& stream = file->getInputStream();
    EXPECT_EQ(stream.skip(4), 4);
    EXPECT_EQ(stream.available(), 6u);
    EXPECT_EQ(stream.skip(100), 100);
    EXPECT_EQ(file->getPosition(), 104);
    EXPECT_EQ(stream.available(), 0u);
}

TEST_F(FileInputStreamTest, ClosingTheEmbeddedStreamLeavesItUsable) {
    Pointer<File> file = open(File::kRead);
    EXPECT_TRUE(file->getInputStream().close());
    char byte = 0;
    EXPECT_EQ(file->getInputStream().read(&byte, 1), 1);
    EXPECT_EQ(file->getReferenceCount(), 1);
}

TEST_F(FileInputStreamTest, StandAloneStreamHoldsItsFileUntilClosedExactlyOnce) {
    Pointer<File> file = open(File::kRead);
    FileInputStream stream(file.get());
    EXPECT_EQ(file->getReferenceCount(), 2);
    char byte = 0;
    EXPECT_EQ(stream.read(&byte, 1), 1);
    EXPECT_TRUE(stream.close());
    EXPECT_TRUE(stream.close());
    EXPECT_EQ(file->getReferenceCount(), 1);
    // Closed: everything answers 0 and the file is not touched.
    EXPECT_EQ(stream.read(&byte, 1), 0);
    EXPECT_EQ(stream.skip(3), 0);
    EXPECT_EQ(stream.available(), 0u);
    EXPECT_EQ(file->getPosition(), 1);
    // Unclosed, it keeps the file alive after its creator lets go.
    FileInputStream holder(file.get());
    file.reset();
    EXPECT_EQ(holder.read(&byte, 1), 1);
    EXPECT_EQ(byte, '1');
}

}  // namespace
}  // namespace nevrik::io
