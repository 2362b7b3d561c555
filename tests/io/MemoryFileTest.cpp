#include "nevrik/io/MemoryFile.h"

#include "nevrik/io/FileSeekException.h"
#include "nevrik/io/IllegalPositionModeException.h"

#include <gtest/gtest.h>

#include <string>

namespace nevrik::io {
namespace {

// Reads and skips through the file and its stream stop at the end; seeks
// stay within the bytes, and what would change them does nothing.
TEST(MemoryFileTest, ReadsAndSeeksWithinItsBytesAndNeverWrites) {
    const std::string bytes = "0123456789";
    MemoryFile file(bytes.data(), bytes.size());
    InputStream& stream = file.getInputStream();
    char got[16] = {};
    EXPECT_EQ(stream.read(got, 4), 4);
    EXPECT_EQ(std::string(got, 4), "0123");
    EXPECT_EQ(stream.available(), 6u);
    EXPECT_EQ(stream.skip(3), 3);
    EXPECT_EQ(file.read(got, 16), 3);
    EXPECT_EQ(std::string(got, 3), "789");
    EXPECT_EQ(file.read(got, 16), 0);
    EXPECT_EQ(file.read(got, -1), 0);

    EXPECT_EQ(file.seek(-2, File::kEnd), 8);
    EXPECT_EQ(file.seek(50, File::kCurrent), 10);
    EXPECT_THROW(file.seek(-11, File::kEnd), FileSeekException);
    EXPECT_THROW(file.seek(0, 4), IllegalPositionModeException);
    EXPECT_EQ(file.getPosition(), 10);
    EXPECT_EQ(stream.available(), 0u);

    EXPECT_EQ(file.write("x", 1), 0);
    EXPECT_EQ(file.setSize(3), 10);
    EXPECT_EQ(file.getSize(), 10);
    EXPECT_TRUE(file.rewind());
    EXPECT_EQ(file.read(got, 1), 1);
    EXPECT_EQ(got[0], '0');
}

}  // namespace
}  // namespace nevrik::io
