#include "nevrik/graphics/TranslatorPNG.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/io/IOException.h"
#include "nevrik/io/TranslatorFormatException.h"

#include "graphics/ImageFiles.h"

#include <gtest/gtest.h>

namespace nevrik::graphics {
namespace {

using object::Pointer;
using namespace nevrik::testing;

PngLayout rgb(int width, int height, const std::string& rows) {
    PngLayout layout;
    layout.width = width;
    layout.height = height;
    layout.rows = rows;
    return layout;
}

PngLayout indexed(const std::string& rows, int bitDepth = 8) {
    PngLayout layout;
    layout.width = 4;
    layout.height = 1;
    layout.colourType = PNG_COLOR_TYPE_PALETTE;
    layout.bitDepth = bitDepth;
    layout.rows = rows;
    layout.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {100, 110, 120}};
    return layout;
}

TEST(TranslatorPNGTest, TwoFilesReadOneAfterTheOtherByOneTranslatorBothDecode) {
    TranslatorPNG translator;
    const std::string first = bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    Pointer<Image> a = decode(translator, encodePng(rgb(2, 2, first)));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->getFormat(), PIXEL_RGB8);
    EXPECT_EQ(pixelsOf(*a), first);
    const std::string second = bytes({200, 100, 50, 25, 12, 6});
    Pointer<Image> b = decode(translator, encodePng(rgb(1, 2, second)));
    ASSERT_TRUE(b);
    EXPECT_EQ(pixelsOf(*b), second);
}

TEST(TranslatorPNGTest, SixteenBitGreyKeepsTheHighBytes) {
    PngLayout layout;
    layout.width = 3;
    layout.colourType = PNG_COLOR_TYPE_GRAY;
    layout.bitDepth = 16;
    layout.rows = bytes({0x12, 0x34, 0xAB, 0xCD, 0xFF, 0xFF});
    TranslatorPNG translator;
    Pointer<Image> image = decode(translator, encodePng(layout));
    EXPECT_EQ(image->getFormat(), PIXEL_A8);
    EXPECT_EQ(pixelsOf(*image), bytes({0x12, 0xAB, 0xFF}));
}

TEST(TranslatorPNGTest, OneBitGreyIsScaledToFullBytes) {
    PngLayout layout;
    layout.width = 10;
    layout.colourType = PNG_COLOR_TYPE_GRAY;
    layout.bitDepth = 1;
    layout.rows = bytes({0b10100000, 0b01000000});
    TranslatorPNG translator;
    EXPECT_EQ(pixelsOf(*decode(translator, encodePng(layout))), bytes({255, 0, 255, 0, 0, 0, 0, 0, 0, 255}));
}

TEST(TranslatorPNGTest, PaletteFilesAreIndexedUnlessTheyCarryTransparency) {
    TranslatorPNG translator;
    Pointer<Image> image = decode(translator, encodePng(indexed(bytes({0b00011011}), 2)));
    EXPECT_EQ(image->getFormat(), PIXEL_INDEX8);
    EXPECT_EQ(pixelsOf(*image), bytes({0, 1, 2, 3}));
    Palette<uchar> palette;
    ASSERT_TRUE(image->getPalette(palette));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(palette.getEntry(3)), 4), bytes({100, 110, 120, 0}));

    PngLayout transparent = indexed(bytes({3, 2, 1, 0}));
    transparent.transparency = bytes({0, 128});
    image = decode(translator, encodePng(transparent));
    EXPECT_EQ(image->getFormat(), PIXEL_RGBA8);
    EXPECT_EQ(pixelsOf(*image), bytes({100, 110, 120, 255, 70, 80, 90, 255, 40, 50, 60, 128, 10, 20, 30, 0}));
}

TEST(TranslatorPNGTest, AlphaFormatsAndInterlacedRows) {
    TranslatorPNG translator;
    PngLayout greyAlpha = rgb(2, 1, bytes({9, 200, 8, 100}));
    greyAlpha.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    Pointer<Image> image = decode(translator, encodePng(greyAlpha));
    EXPECT_EQ(image->getFormat(), PIXEL_LA8);
    EXPECT_EQ(pixelsOf(*image), bytes({9, 200, 8, 100}));

    std::string rows;
    for (int i = 0; i < 9 * 9 * 4; ++i) {
        rows.push_back(static_cast<char>(i * 7));
    }
    PngLayout interlaced = rgb(9, 9, rows);
    interlaced.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    interlaced.interlaced = true;
    image = decode(translator, encodePng(interlaced));
    EXPECT_EQ(image->getFormat(), PIXEL_RGBA8);
    EXPECT_EQ(pixelsOf(*image), rows);
}

TEST(TranslatorPNGTest, BackgroundChunkCompositesTransparentPixels) {
    PngLayout layout = indexed(bytes({0, 1, 0, 1}));
    layout.transparency = bytes({0});
    png_color_16 background{};
    background.index = 3;
    layout.background = &background;
    TranslatorPNG translator;
    Pointer<Image> image = decode(translator, encodePng(layout));
    EXPECT_EQ(image->getFormat(), PIXEL_RGB8);
    EXPECT_EQ(pixelsOf(*image), bytes({100, 110, 120, 40, 50, 60, 100, 110, 120, 40, 50, 60}));
}

TEST(TranslatorPNGTest, BrokenFilesFailAndTheTranslatorReadsOnAfterwards) {
    TranslatorPNG translator;
    const std::string good = encodePng(rgb(2, 1, bytes({1, 2, 3, 4, 5, 6})));
    EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] { decode(translator, "\x89PNG\r\n\x1a"); }),
              "TranslatorFormatException");
    EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] { decode(translator, good.substr(0, 40)); }),
              "TranslatorFormatException");
    std::string corrupt = good;
    corrupt[20] ^= 0x40;  // the header's CRC no longer matches
    EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] { decode(translator, corrupt); }),
              "TranslatorFormatException");
    testing::FailingStream failing(good.substr(0, 30));
    EXPECT_EQ(messageOf<io::IOException>([&] { translator.read(failing, 0); }), "disk gone");
    EXPECT_EQ(pixelsOf(*decode(translator, good)), bytes({1, 2, 3, 4, 5, 6}));
}

}  // namespace
}  // namespace nevrik::graphics
