#include "nevrik/graphics/Bitmap.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/object/Exception.h"

#include <gtest/gtest.h>

namespace nevrik::graphics {
namespace {

Palette<uchar> samplePalette() {
    Palette<uchar> palette;
    palette.setEntry(0, 1, 2, 3, 4);
    palette.setEntry(255, 250, 251, 252, 253);
    return palette;
}

TEST(BitmapTest, OnlyIndexedBitmapsHaveAPaletteStartingAtZero) {
    Bitmap indexed(PIXEL_INDEX8, 2, 2);
    Palette<uchar> palette = samplePalette();
    ASSERT_TRUE(indexed.getPalette(palette));
    EXPECT_EQ(palette.getEntry(0)[0], 0);
    EXPECT_EQ(palette.getEntry(255)[3], 0);

    ASSERT_TRUE(indexed.setPalette(samplePalette()));
    Palette<uchar> copy;
    ASSERT_TRUE(indexed.getPalette(copy));
    EXPECT_EQ(copy.getEntry(255)[2], 252);
    EXPECT_EQ(copy.getEntry(0)[3], 4);

    Bitmap rgb(PIXEL_RGB8, 2, 2);
    Palette<uchar> untouched = samplePalette();
    EXPECT_FALSE(rgb.getPalette(untouched));
    EXPECT_EQ(untouched.getEntry(0)[0], 1);
    EXPECT_FALSE(rgb.setPalette(untouched));
}

TEST(BitmapTest, PixelsAreClearedAndRowsArePitchApart) {
    Bitmap image(PIXEL_RGBA8, 3, 2);
    std::uint8_t* pixels = image.lock();
    ASSERT_NE(pixels, nullptr);
    for (int i = 0; i < 3 * 4 * 2; ++i) {
        EXPECT_EQ(pixels[i], 0) << i;
    }
    EXPECT_EQ(image.getPitch(), 12);
}

TEST(BitmapTest, FormatsOutsideThePitchRuleHoldNoPixelsButCompressedOnesHoldTheirBlocks) {
    for (const std::uint32_t format : {PIXEL_A32F, PIXEL_DEPTH24}) {
        Bitmap image(format, 64, 64);
        EXPECT_EQ(image.getPitch(), 0);
        EXPECT_EQ(image.lock(), nullptr);
    }
    // 4 x 4 blocks of 8 (DXT1) or 16 bytes; a partial block counts whole.
    const std::tuple<std::uint32_t, int, int, std::int64_t> cases[] = {{PIXEL_DXT1, 64, 64, 2048},
                                                                       {PIXEL_DXT5, 64, 64, 4096},
                                                                       {PIXEL_DXT3, 5, 1, 32},
                                                                       {PIXEL_DXT1, 1, 1, 8}};
    for (const auto& [format, width, height, bytes] : cases) {
        EXPECT_EQ(getImageBytes(format, width, height), bytes);
        Bitmap image(format, width, height);
        EXPECT_EQ(image.getPitch(), 0);
        EXPECT_NE(image.lock(), nullptr);
    }
}

TEST(BitmapTest, RefusesNegativeAndOversizedDimensions) {
    for (const auto& [width, height] : {std::pair{-1, 4}, {4, -1}, {65536, 65536}}) {
        try {
            Bitmap image(PIXEL_RGBA8, width, height);
            ADD_FAILURE() << width << " x " << height;
        } catch (const object::Exception& error) {
            EXPECT_STREQ(error.what(), "Bitmap: size out of range");
        }
    }
    EXPECT_EQ(Bitmap(PIXEL_RGB8, 0, 5).lock(), nullptr);
}

}  // namespace
}  // namespace nevrik::graphics
