#include "nevrik/graphics/FilterDecompress.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"

#include "graphics/ImageFiles.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace nevrik::graphics {
namespace {

using object::Pointer;
using namespace nevrik::testing;

using Rgba = std::array<int, 4>;

Pointer<Bitmap> compressed(std::uint32_t format, int width, int height, const std::string& blocks) {
    auto image = object::make<Bitmap>(format, width, height);
    EXPECT_EQ(blocks.size(), static_cast<std::size_t>(getImageBytes(format, width, height)));
    std::copy(blocks.begin(), blocks.end(), image->lock());
    return image;
}

Rgba at(Image& image, int x, int y) {
    return rgbaOf(image, x, y);
}

// End points red (0xF800) and blue (0x001F) in both orders; indices 0-3 in
// the first row, all 3 elsewhere.
const std::string kFourColours = bytes({0x00, 0xF8, 0x1F, 0x00, 0xE4, 0xFF, 0xFF, 0xFF});
const std::string kThreeColours = bytes({0x1F, 0x00, 0x00, 0xF8, 0xE4, 0xFF, 0xFF, 0xFF});

TEST(FilterDecompressTest, ColourBlocksInterpolateAndDxt1sThreeColourModeIsTransparent) {
    FilterDecompress filter;
    Pointer<Image> four = filter.apply(*compressed(PIXEL_DXT1, 4, 4, kFourColours));
    ASSERT_TRUE(four);
    EXPECT_EQ(four->getFormat(), PIXEL_RGBA8);
    EXPECT_EQ(at(*four, 0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(at(*four, 1, 0), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(at(*four, 2, 0), (Rgba{170, 0, 85, 255}));
    EXPECT_EQ(at(*four, 3, 0), (Rgba{85, 0, 170, 255}));
    Pointer<Image> three = filter.apply(*compressed(PIXEL_DXT1, 4, 4, kThreeColours));
    EXPECT_EQ(at(*three, 2, 0), (Rgba{127, 0, 127, 255}));
    EXPECT_EQ(at(*three, 3, 3), (Rgba{0, 0, 0, 0}));
    // DXT3 and DXT5 colour halves always have four colours.
    Pointer<Image> dxt3 = filter.apply(*compressed(PIXEL_DXT3, 4, 4, std::string(8, '\0') + kThreeColours));
    EXPECT_EQ(at(*dxt3, 3, 3), (Rgba{170, 0, 85, 0}));
}

TEST(FilterDecompressTest, AlphaBlocksExplicitAndInterpolatedInBothModes) {
    FilterDecompress filter;
    // DXT3: nibbles low first, 0x0 ... 0xF over the first 16 pixels.
    std::string nibbles;
    for (int i = 0; i < 16; i += 2) {
        nibbles += bytes({unsigned(i | (i + 1) << 4)});
    }
    Pointer<Image> dxt3 = filter.apply(*compressed(PIXEL_DXT3, 4, 4, nibbles + kFourColours));
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(at(*dxt3, i % 4, i / 4)[3], i * 17) << i;
    }
    // DXT5: indices 0-7 in the first eight pixels (3 bits each, low first).
    const std::string indices = bytes({0x88, 0xC6, 0xFA, 0, 0, 0});
    Pointer<Image> eight =
        filter.apply(*compressed(PIXEL_DXT5, 4, 4, bytes({210, 70}) + indices + kFourColours));
    const int expectedEight[8] = {210, 70, 190, 170, 150, 130, 110, 90};
    Pointer<Image> six =
        filter.apply(*compressed(PIXEL_DXT5, 4, 4, bytes({50, 250}) + indices + kFourColours));
    const int expectedSix[8] = {50, 250, 90, 130, 170, 210, 0, 255};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(at(*eight, i % 4, i / 4)[3], expectedEight[i]) << i;
        EXPECT_EQ(at(*six, i % 4, i / 4)[3], expectedSix[i]) << i;
    }
}

TEST(FilterDecompressTest, OddSizesCropTheirBlocksAndTheCompressedChainFollows) {
    // 5 x 5: four blocks, red, blue, blue, red; a 2 x 2 level of one block.
    const std::string blue = bytes({0x00, 0xF8, 0x1F, 0x00, 0x55, 0x55, 0x55, 0x55});
    const std::string red = bytes({0x00, 0xF8, 0x1F, 0x00, 0, 0, 0, 0});
    Pointer<Bitmap> top = compressed(PIXEL_DXT1, 5, 5, red + blue + blue + red);
    const Pointer<Bitmap> level = compressed(PIXEL_DXT1, 2, 2, blue);
    top->setNext(level.get());
    level->setNext(object::make<Bitmap>(PIXEL_RGB8, 1, 1).get());
    Pointer<Image> decoded = FilterDecompress().apply(*top);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(at(*decoded, 3, 3), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(at(*decoded, 4, 0), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(at(*decoded, 0, 4), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(at(*decoded, 4, 4), (Rgba{255, 0, 0, 255}));
    ASSERT_TRUE(decoded->getNext());
    EXPECT_EQ(decoded->getNext()->getWidth(), 2);
    EXPECT_EQ(at(*decoded->getNext(), 1, 1), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(decoded->getNext()->getNext(), nullptr) << "the uncompressed level ends the chain";
    EXPECT_FALSE(FilterDecompress().apply(*object::make<Bitmap>(PIXEL_RGBA8, 4, 4)));
    EXPECT_FALSE(FilterDecompress().apply(*object::make<Bitmap>(PIXEL_DXT5, 0, 4)));
}

}  // namespace
}  // namespace nevrik::graphics
