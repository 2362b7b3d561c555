#include "nevrik/freetype/detail/Coverage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace nevrik::freetype::detail {
namespace {

constexpr std::uint8_t kUntouched = 0x5a;

// Converts `glyph` into a cell of the given size placed at (1, 1) of a
// (width + 2) x (rows + 2) buffer filled with kUntouched, and returns the buffer.
std::vector<std::uint8_t> convert(const GlyphBitmap& glyph, int cellWidth, int cellRows,
                                  bool* known = nullptr) {
    const int pitch = cellWidth + 2;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(pitch * (cellRows + 2)), kUntouched);
    const bool result = copyCoverage(glyph, buffer.data() + pitch + 1, pitch, cellWidth, cellRows);
    if (known != nullptr) {
        *known = result;
    }
    return buffer;
}

GlyphBitmap bitmap(const std::vector<std::uint8_t>& bytes, PixelMode mode, int width, int rows, int pitch) {
    GlyphBitmap glyph;
    glyph.buffer = bytes.data();
    glyph.mode = static_cast<int>(mode);
    glyph.width = width;
    glyph.rows = rows;
    glyph.pitch = pitch;
    return glyph;
}

TEST(CoverageTest, MonochromeBitsReadMostSignificantFirstAcrossBytes) {
    // Row 0 sets pixels 0 and 8; row 1 sets pixel 9 and bits past the width.
    const std::vector<std::uint8_t> bytes = {0x80, 0x80, 0x00, 0x00, 0x7f, 0xff};
    const std::vector<std::uint8_t> out = convert(bitmap(bytes, PixelMode::kMono, 10, 2, 3), 10, 2);
    const int pitch = 12;
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(out[pitch + 1 + x], x == 0 || x == 8 ? 255 : 0) << x;
        EXPECT_EQ(out[2 * pitch + 1 + x], x == 9 ? 255 : 0) << x;
    }
    EXPECT_EQ(out[pitch + 11], kUntouched);
}

TEST(CoverageTest, GreyLevelsSpreadSoTheTopLevelIsFullCoverage) {
    const std::vector<std::uint8_t> grey = {0, 128, 255};
    std::vector<std::uint8_t> out = convert(bitmap(grey, PixelMode::kGray, 3, 1, 3), 3, 1);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 6, out.begin() + 9), grey);

    // Five levels: 4 is full, and a value past the top stays full.
    const std::vector<std::uint8_t> fiveBytes = {0, 2, 4, 9};
    GlyphBitmap fiveLevels = bitmap(fiveBytes, PixelMode::kGray, 4, 1, 4);
    fiveLevels.grayLevels = 5;
    out = convert(fiveLevels, 4, 1);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 7, out.begin() + 11),
              (std::vector<std::uint8_t>{0, 127, 255, 255}));

    // Two bits a pixel: levels 0, 1, 2, 3; four bits: 0, 8, 15.
    const std::vector<std::uint8_t> two = {0x1b};
    out = convert(bitmap(two, PixelMode::kGray2, 4, 1, 1), 4, 1);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 7, out.begin() + 11),
              (std::vector<std::uint8_t>{0, 85, 170, 255}));
    const std::vector<std::uint8_t> four = {0x08, 0xf0};
    out = convert(bitmap(four, PixelMode::kGray4, 3, 1, 2), 3, 1);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 6, out.begin() + 9),
              (std::vector<std::uint8_t>{0, 136, 255}));
}

TEST(CoverageTest, NegativePitchRowsStartFromTheBottomOfTheBuffer) {
    // Memory holds the bottom row (1, 2) first; the top row is (3, 4).
    const std::vector<std::uint8_t> bytes = {1, 2, 3, 4};
    GlyphBitmap glyph = bitmap(bytes, PixelMode::kGray, 2, 2, -2);
    const std::vector<std::uint8_t> out = convert(glyph, 2, 2);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 5, out.begin() + 7), (std::vector<std::uint8_t>{3, 4}));
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 9, out.begin() + 11),
              (std::vector<std::uint8_t>{1, 2}));
}

TEST(CoverageTest, LargerGlyphIsCutToTheCellAndUnknownModeWritesNothing) {
    const std::vector<std::uint8_t> bytes(16, 200);
    const std::vector<std::uint8_t> out = convert(bitmap(bytes, PixelMode::kGray, 4, 4, 4), 2, 3);
    const int pitch = 4;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < pitch; ++x) {
            const bool inCell = x >= 1 && x <= 2 && y >= 1 && y <= 3;
            EXPECT_EQ(out[y * pitch + x], inCell ? 200 : kUntouched) << x << "," << y;
        }
    }
    bool known = true;
    const std::vector<std::uint8_t> lcd =
        convert(bitmap(bytes, static_cast<PixelMode>(5), 4, 4, 4), 2, 3, &known);
    EXPECT_FALSE(known);
    EXPECT_EQ(lcd, std::vector<std::uint8_t>(lcd.size(), kUntouched));
}

}  // namespace
}  // namespace nevrik::freetype::detail
