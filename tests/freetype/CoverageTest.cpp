#include "nevrik/freetype/detail/Coverage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace nevrik::freetype::detail {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint8_t kUntouched = 0x5a;

// Converts a glyph of `mode` into a cellWidth x cellRows cell that fills a
// buffer of kUntouched bytes but for a one-byte border on its right and
// bottom, and returns the buffer.
Bytes convert(const Bytes& bytes, int mode, int width, int rows, int pitch, int cellWidth, int cellRows,
              int grayLevels = 256) {
    GlyphBitmap glyph;
    glyph.buffer = bytes.data();
    glyph.mode = mode;
    glyph.width = width;
    glyph.rows = rows;
    glyph.pitch = pitch;
    glyph.grayLevels = grayLevels;
    Bytes cell(static_cast<std::size_t>((cellWidth + 1) * (cellRows + 1)), kUntouched);
    if (!copyCoverage(glyph, cell.data(), cellWidth + 1, cellWidth, cellRows)) {
        cell.clear();
    }
    return cell;
}

constexpr int kMono = static_cast<int>(PixelMode::kMono);
constexpr int kGray = static_cast<int>(PixelMode::kGray);
constexpr Bytes::value_type kU = kUntouched;  // short, to keep the expected cells readable

TEST(CoverageTest, MonochromeBitsReadMostSignificantFirstAndStopAtTheWidth) {
    // Row 0 sets pixels 0 and 8; row 1 sets pixel 9 and bits past the width.
    const Bytes out = convert({0x80, 0x80, 0x00, 0x00, 0x7f, 0xff}, kMono, 10, 2, 3, 10, 2);
    EXPECT_EQ(out,
              (Bytes{255, 0,  0,  0,  0,  0,  0,  0,  255, 0,  kU, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, kU,  //
                     kU,  kU, kU, kU, kU, kU, kU, kU, kU,  kU, kU}));
}

TEST(CoverageTest, GreyLevelsSpreadSoTheTopLevelIsFullCoverage) {
    EXPECT_EQ(convert({0, 128, 255}, kGray, 3, 1, 3, 3, 1), (Bytes{0, 128, 255, kU, kU, kU, kU, kU}));
    // Five levels: 4 is full, and a value past the top stays full.
    EXPECT_EQ(convert({0, 2, 4, 9}, kGray, 4, 1, 4, 4, 1, 5),
              (Bytes{0, 127, 255, 255, kU, kU, kU, kU, kU, kU}));
    // Two bits a pixel: levels 0-3; four bits: 0, 8 and 15 of 15.
    EXPECT_EQ(convert({0x1b}, static_cast<int>(PixelMode::kGray2), 4, 1, 1, 4, 1),
              (Bytes{0, 85, 170, 255, kU, kU, kU, kU, kU, kU}));
    EXPECT_EQ(convert({0x08, 0xf0}, static_cast<int>(PixelMode::kGray4), 3, 1, 2, 3, 1),
              (Bytes{0, 136, 255, kU, kU, kU, kU, kU}));
}

TEST(CoverageTest, NegativePitchMeansTheBufferStartsWithTheBottomRow) {
    EXPECT_EQ(convert({1, 2, 3, 4}, kGray, 2, 2, -2, 2, 2), (Bytes{3, 4, kU, 1, 2, kU, kU, kU, kU}));
}

TEST(CoverageTest, LargerGlyphIsCutToTheCellAndUnknownModeIsRefused) {
    const Bytes big(16, 200);
    EXPECT_EQ(convert(big, kGray, 4, 4, 4, 2, 3),
              (Bytes{200, 200, kU, 200, 200, kU, 200, 200, kU, kU, kU, kU}));
    EXPECT_TRUE(convert(big, 5, 4, 4, 4, 2, 3).empty());  // FreeType's LCD mode
}

}  // namespace
}  // namespace nevrik::freetype::detail
