#include "nevrik/io/DataInput.h"

#include "io/TempFolder.h"
#include "nevrik/io/StandardInputStream.h"
#include "nevrik/io/SystemFileFactory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace nevrik::io {
namespace {

using object::Pointer;
using Lines = std::vector<std::string>;

// Bytes in memory handed out at most three at a time, like a pipe: it can
// tell what is left but cannot move back.
class PipeStream : public InputStream {
public:
    explicit PipeStream(std::string bytes) : mBytes(std::move(bytes)) {}

    std::int32_t read(void* buffer, std::int32_t count) override {
        const auto n = std::min<std::size_t>({static_cast<std::size_t>(count), 3, mBytes.size() - mAt});
        std::memcpy(buffer, mBytes.data() + mAt, n);
        mAt += n;
        return static_cast<std::int32_t>(n);
    }
    std::int32_t skip(std::int32_t) override { return 0; }
    std::uint32_t available() override { return static_cast<std::uint32_t>(mBytes.size() - mAt); }

private:
    std::string mBytes;
    std::size_t mAt = 0;
};

Lines linesOf(DataInput& input, int count) {
    Lines lines;
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

TEST_F(DataInputTest, MixedLineEndsThenEmptyLinesAtTheEnd) {
    Pointer<File> file = open("a\r\nb\nc");
    DataInput input(file->getInputStream());
    EXPECT_EQ(linesOf(input, 5), (Lines{"a", "b", "c", "", ""}));
    EXPECT_EQ(input.getCount(), 6);
}

TEST_F(DataInputTest, LeadingLineFeedAndLineFeedsAfterACarriageReturnAreSkipped) {
    Pointer<File> file = open(std::string("\nx\n\ny\rb\0c\r\n\nd", 13));
    DataInput input(file->getInputStream());
    // The second line feed after "c\r" follows a skipped one, so the last
    // character is still the carriage return and it is skipped too.
    EXPECT_EQ(linesOf(input, 7), (Lines{"x", "", "y", "b", "c", "d", ""}));
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

TEST_F(DataInputTest, StreamsThatReadNothingMoreEndTheLineInsteadOfSpinning) {
    Pointer<File> file = open("never read", File::kWrite);
    DataInput writeOnly(file->getInputStream());
    EXPECT_STREQ(writeOnly.readLine().c_str(), "");

    // The console always claims one byte more, even at its end.
    mFolder.write("console", "x\ny");
    ASSERT_NE(std::freopen((mFolder / "console").c_str(), "rb", stdin), nullptr);
    DataInput console(StandardInputStream::get());
    EXPECT_EQ(linesOf(console, 3), (Lines{"x", "y", ""}));
    EXPECT_EQ(console.getCount(), 3);
}

TEST_F(DataInputTest, StreamThatCannotMoveBackLosesNoBytes) {
    PipeStream pipe("one\r\ntwo\nthree\rfour");
    DataInput input(pipe);
    EXPECT_EQ(linesOf(input, 5), (Lines{"one", "two", "three", "four", ""}));
    EXPECT_EQ(input.getCount(), 19);
}

}  // namespace
}  // namespace nevrik::io
