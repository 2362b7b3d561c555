#include "nevrik/graphics/FilterResize.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace nevrik::graphics {
namespace {

using object::Pointer;

// An 8-bit image whose pixel (x, y) is 16 * y + x, so a copy names its source.
Pointer<Image> grid(std::uint32_t format, int width, int height) {
    Pointer<Image> image = object::make<Bitmap>(format, width, height);
    std::uint8_t* pixels = image->lock();
    const int bytes = image->getPitch() / width;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::memset(pixels + y * image->getPitch() + x * bytes, 16 * y + x,
                        static_cast<std::size_t>(bytes));
        }
    }
    return image;
}

// The (column, row) of the source that each target pixel came from.
std::vector<std::pair<int, int>> sources(Image& image) {
    std::vector<std::pair<int, int>> taken;
    const std::uint8_t* pixels = image.lock();
    const int bytes = image.getPitch() / image.getWidth();
    for (int y = 0; y < image.getHeight(); ++y) {
        for (int x = 0; x < image.getWidth(); ++x) {
            const std::uint8_t* pixel = pixels + y * image.getPitch() + x * bytes;
            for (int k = 1; k < bytes; ++k) {
                EXPECT_EQ(pixel[k], pixel[0]) << "pixel copied whole";
            }
            taken.emplace_back(pixel[0] % 16, pixel[0] / 16);
        }
    }
    return taken;
}

std::vector<int> rowsOf(Image& image) {
    std::vector<int> rows;
    const auto taken = sources(image);
    for (int y = 0; y < image.getHeight(); ++y) {
        rows.push_back(taken[static_cast<std::size_t>(y * image.getWidth())].second);
    }
    return rows;
}

TEST(FilterResizeTest, FourByFourToTwoByTwoTakesTheOuterColumnsAndRows) {
    Pointer<Image> source = grid(PIXEL_RGB8, 4, 4);
    FilterResize resize(2, 2);
    Pointer<Image> target = resize.apply(*source);
    ASSERT_TRUE(target);
    EXPECT_EQ(target->getFormat(), PIXEL_RGB8);
    EXPECT_EQ(target->getReferenceCount(), 1);
    EXPECT_EQ(sources(*target), (std::vector<std::pair<int, int>>{{0, 0}, {3, 0}, {0, 3}, {3, 3}}));
    EXPECT_FALSE(source->isLocked());
    EXPECT_FALSE(target->isLocked());
}

TEST(FilterResizeTest, SameSizeCopiesExactlyForEveryCopyWidth) {
    // PIXEL_RGB16's code says 16 bits, but its pixels are 6 bytes and move whole.
    for (const std::uint32_t format :
         {PIXEL_A8, PIXEL_LA8, PIXEL_BGR8, PIXEL_BGRA8, PIXEL_RGB16, PIXEL_RGB16F, PIXEL_RGBA16}) {
        Pointer<Image> source = grid(format, 5, 3);
        Pointer<Image> target = FilterResize(5, 3).apply(*source);
        ASSERT_TRUE(target) << std::hex << format;
        EXPECT_EQ(
            std::memcmp(target->lock(), source->lock(), 3 * static_cast<std::size_t>(source->getPitch())), 0);
    }
}

TEST(FilterResizeTest, RowsFollowTheFloatAccumulation) {
    // 5/3 per row in float: the third step sums to 1.99999988, not 2, so
    // the last row is 4 where floor(3 * 5/3) would be 5.
    EXPECT_EQ(rowsOf(*FilterResize(1, 4).apply(*grid(PIXEL_A8, 1, 6))), (std::vector<int>{0, 1, 3, 4}));
    // Enlarging repeats rows: half a row per target row.
    EXPECT_EQ(rowsOf(*FilterResize(1, 5).apply(*grid(PIXEL_A8, 1, 3))), (std::vector<int>{0, 0, 1, 1, 2}));
    EXPECT_EQ(sources(*FilterResize(5, 1).apply(*grid(PIXEL_A8, 3, 1))),
              (std::vector<std::pair<int, int>>{{0, 0}, {0, 0}, {1, 0}, {1, 0}, {2, 0}}));
}

TEST(FilterResizeTest, TargetOfOneTakesColumnAndRowZero) {
    Pointer<Image> target = FilterResize(1, 1).apply(*grid(PIXEL_RGBA8, 6, 9));
    ASSERT_TRUE(target);
    EXPECT_EQ(sources(*target), (std::vector<std::pair<int, int>>{{0, 0}}));
    EXPECT_EQ(rowsOf(*FilterResize(1, 3).apply(*grid(PIXEL_A8, 1, 1))), (std::vector<int>{0, 0, 0}));
}

TEST(FilterResizeTest, IndexedImagesKeepTheirPalette) {
    Pointer<Image> source = grid(PIXEL_INDEX8, 4, 4);
    Palette<uchar> palette;
    palette.setEntry(17, 9, 8, 7, 6);
    source->setPalette(palette);
    Pointer<Image> target = FilterResize(3, 3).apply(*source);
    Palette<uchar> copied;
    ASSERT_TRUE(target->getPalette(copied));
    EXPECT_EQ(copied.getEntry(17)[0], 9);
    EXPECT_EQ(copied.getEntry(17)[3], 6);
}

TEST(FilterResizeTest, RefusesWhatCannotBeCopiedWhole) {
    FilterResize resize(2, 2);
    EXPECT_FALSE(resize.apply(*grid(PIXEL_RGB32F, 4, 4)));
    EXPECT_FALSE(resize.apply(*grid(PIXEL_RGBA32F, 4, 4)));
    // 32 bits by its code, but no pitch: there are no rows to copy from.
    Bitmap floats(PIXEL_A32F, 4, 4);
    EXPECT_FALSE(resize.apply(floats));
    Bitmap empty(PIXEL_RGB8, 0, 4);
    EXPECT_FALSE(resize.apply(empty));
    EXPECT_FALSE(FilterResize(0, 2).apply(*grid(PIXEL_RGB8, 4, 4)));
    EXPECT_FALSE(floats.isLocked());
}

}  // namespace
}  // namespace nevrik::graphics
