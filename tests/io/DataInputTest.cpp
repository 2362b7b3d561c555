#include "nevrik/io/DataInput.h"

#include "nevrik/io/SystemFileFactory.h"
#include "io/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace nevrik::io {
namespace {

using object::Pointer;

// A stream over bytes in memory that cannot move backwards and hands out at
// most `chunk` bytes per read, like a pipe.
class PipeStream : public InputStream {
public:
    PipeStream(std::string bytes, std::int32_t chunk) : mBytes(std::move(bytes)), mChunk(chunk) {}

    std::int32_t read(void* buffer, std::int32_t count) override {
        const auto n = static_cast<std::int32_t>(
            std::min<std::size_t>({static_cast<std::size_t>(count), static_cast<std::size_t>(mChunk), left()}));
        std::memcpy(buffer, mBytes.data() + mAt, static_cast<std::size_t>(n));
        mAt += static_cast<std::size_t>(n);
        return n;
    }
    std::int32_t skip(std::int32_t) override { return 0; }
    std::uint32_t available() override { return static_cast<std::uint32_t>(left()); }

private:
    std::size_t left() const { return mBytes.size() - mAt; }

    std::string mBytes;
    std::int32_t mChunk;
    std::size_t mAt = 0;
};

std::vector<std::string> linesOf(DataInput& input, int count) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        lines.emplace_back(input.readLine().c_str());
    }
    return lines;
}

class DataInputTest : public ::testing::Test {
protected:
    Pointer<File> open(const std::string& bytes, std::uint32_t mode = File::kRead) {
        mFolder.write("text", bytes);
        return mFactory.open("text", mode);
    }

    testing::TempFolder mFolder;
    SystemFileFactory mFactory{mFolder.path().c_str()};
};

using Lines = std::vector<std::string>;

TEST_F(DataInputTest, MixedLineEndsThenEmptyLinesAtTheEnd) {
    Pointer<File> file = open("a\r\nb\nc");
    DataInput input(file->getInputStream());
    EXPECT_EQ(linesOf(input, 5), (Lines{"a", "b", "c", "", ""}));
    EXPECT_EQ(input.getCount(), 6);
}

TEST_F(DataInputTest, LeadingLineFeedIsSkipped) {
    Pointer<File> file = open("\nx\n\ny");
    DataInput input(file->getInputStream());
    EXPECT_EQ(linesOf(input, 4), (Lines{"x", "", "y", ""}));
}

TEST_F(DataInputTest, LoneCarriageReturnAndNulEndLinesAndLineFeedsAfterACarriageReturnVanish) {
    Pointer<File> file = open(std::string("a\rb\0c\r\n\nd", 9));
    DataInput input(file->getInputStream());
    // The second line feed follows a skipped one, so the last character is
    // still the carriage return and it is skipped too.
    EXPECT_EQ(linesOf(input, 5), (Lines{"a", "b", "c", "d", ""}));
}

TEST_F(DataInputTest, StreamStandsRightAfterEachTerminator) {
    Pointer<File> file = open("head\r\nBODY");
    DataInput input(file->getInputStream());
    EXPECT_STREQ(input.readLine().c_str(), "head");
    // The line feed of the pair is still in the stream: the next line skips it.
    EXPECT_EQ(file->getPosition(), 5);
    EXPECT_STREQ(input.readLine().c_str(), "BODY");
    EXPECT_EQ(file->getPosition(), 10);
}

TEST_F(DataInputTest, LinesLongerThanAnyBlockComeBackWhole) {
    const std::string longLine(5000, 'q');
    Pointer<File> file = open(longLine + "\n" + longLine);
    DataInput input(file->getInputStream());
    EXPECT_EQ(linesOf(input, 3), (Lines{longLine, longLine, ""}));
    EXPECT_EQ(input.getCount(), 10001);
}

TEST_F(DataInputTest, StreamThatClaimsBytesButReadsNoneEndsTheLine) {
    Pointer<File> file = open("never read", File::kWrite);
    DataInput input(file->getInputStream());
    EXPECT_STREQ(input.readLine().c_str(), "");
    EXPECT_EQ(input.getCount(), 0);
}

TEST_F(DataInputTest, StreamThatCannotMoveBackLosesNoBytes) {
    PipeStream pipe("one\r\ntwo\nthree\rfour", 7);
    DataInput input(pipe);
    EXPECT_EQ(linesOf(input, 5), (Lines{"one", "two", "three", "four", ""}));
    EXPECT_EQ(input.getCount(), 19);
}

TEST_F(DataInputTest, HoldsAReferenceOnItsStream) {
    PipeStream pipe("", 1);
    {
        DataInput input(pipe);
        EXPECT_EQ(pipe.getReferenceCount(), 2);
    }
    EXPECT_EQ(pipe.getReferenceCount(), 1);
}

}  // namespace
}  // namespace nevrik::io
