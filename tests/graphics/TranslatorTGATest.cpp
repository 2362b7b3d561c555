#include "nevrik/graphics/TranslatorTGA.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/io/TranslatorFormatException.h"

#include "graphics/ImageFiles.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace nevrik::graphics {
namespace {

using object::Pointer;
using namespace nevrik::testing;

std::string tga(int type, int width, int height, int depth, int descriptor, const std::string& data,
                const std::string& id = "", int mapLength = 0, int mapEntrySize = 0) {
    std::string file = bytes({unsigned(id.size()), mapLength > 0 ? 1u : 0u, unsigned(type), 0, 0});
    put16(file, static_cast<unsigned>(mapLength));
    file.push_back(static_cast<char>(mapEntrySize));
    put16(file, 0);
    put16(file, 0);
    put16(file, static_cast<unsigned>(width));
    put16(file, static_cast<unsigned>(height));
    file += bytes({unsigned(depth), unsigned(descriptor)});
    return file + id + data;
}

TEST(TranslatorTGATest, RowsAreReversedUnlessTheOriginIsTopLeft) {
    const std::string rows = bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    TranslatorTGA translator;
    Pointer<Image> topDown = decode(translator, tga(2, 2, 2, 24, 0x20, rows));
    EXPECT_EQ(topDown->getFormat(), PIXEL_BGR8);
    EXPECT_EQ(pixelsOf(*topDown), rows);
    Pointer<Image> bottomUp = decode(translator, tga(2, 2, 2, 24, 0x00, rows));
    EXPECT_EQ(pixelsOf(*bottomUp), bytes({7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6}));
    // Three rows: the middle one stays.
    Pointer<Image> odd =
        decode(translator, tga(2, 1, 3, 32, 0x08, bytes({1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3})));
    EXPECT_EQ(odd->getFormat(), PIXEL_BGRA8);
    EXPECT_EQ(pixelsOf(*odd), bytes({3, 3, 3, 3, 2, 2, 2, 2, 1, 1, 1, 1}));
}

TEST(TranslatorTGATest, RunLengthPacketsRepeatOrCopyAndMayCrossRows) {
    const std::string data = bytes({
        0x82, 1, 2, 3,           // three copies of (1, 2, 3): one row and a bit
        0x01, 4, 5, 6, 7, 8, 9,  // two literal pixels
        0xFF, 9, 9, 9,           // 128 copies, cut at the last pixel
    });
    TranslatorTGA translator;
    Pointer<Image> image = decode(translator, tga(10, 2, 3, 24, 0x20, data));
    EXPECT_EQ(pixelsOf(*image), bytes({1, 2, 3, 1, 2, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9, 9}));
}

TEST(TranslatorTGATest, ColourMappedImagesGetTheMapAsPaletteAfterTheIdField) {
    // 16-bit entries: bits 10-14, 5-9 and 0-4 become red, green and blue.
    std::string map;
    put16(map, 0x7C00);
    put16(map, 0x03E0 | 0x0001);
    const std::string file = tga(1, 3, 1, 8, 0x20, map + bytes({1, 0, 1}), "an id", 2, 16);
    TranslatorTGA translator;
    Pointer<Image> image = decode(translator, file);
    EXPECT_EQ(image->getFormat(), PIXEL_INDEX8);
    EXPECT_EQ(pixelsOf(*image), bytes({1, 0, 1}));
    Palette<uchar> palette;
    ASSERT_TRUE(image->getPalette(palette));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(palette.getEntry(0)), 4), bytes({0xF8, 0, 0, 0}));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(palette.getEntry(1)), 4), bytes({0, 0xF8, 0x08, 0}));

    // 32-bit entries keep their alpha; 24-bit ones get 0.
    const std::string rgba = tga(1, 1, 1, 8, 0x20, bytes({10, 20, 30, 40, 0}), "", 1, 32);
    image = decode(translator, rgba);
    image->getPalette(palette);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(palette.getEntry(0)), 4), bytes({30, 20, 10, 40}));
}

TEST(TranslatorTGATest, SixteenBitPixelsSwapRedAndBlueAndDropTheTopBit) {
    std::string data;
    put16(data, 0x8000 | 0x7C00 | 0x0003);
    TranslatorTGA translator;
    Pointer<Image> image = decode(translator, tga(2, 1, 1, 16, 0x20, data));
    EXPECT_EQ(image->getFormat(), PIXEL_RGB555);
    EXPECT_EQ(pixelsOf(*image), bytes({0x1F, 0x0C}));
}

TEST(TranslatorTGATest, EveryTypeAndDepthPlainOrRunLengthDecodesTheColoursWritten) {
    struct Variant {
        int type;
        int depth;
        ChannelMasks masks;  // how the file's pixels are laid out; none: indices
        std::uint32_t format;
    };
    const ChannelMasks grey{0xFF, 0xFF, 0xFF, 0};
    const ChannelMasks greyAlpha{0xFF, 0xFF, 0xFF, 0xFF00};
    const Variant variants[] = {
        {1, 8, {}, PIXEL_INDEX8},
        {9, 8, {}, PIXEL_INDEX8},
        {2, 16, {0x7C00, 0x03E0, 0x001F, 0}, PIXEL_RGB555},
        {10, 15, {0x7C00, 0x03E0, 0x001F, 0}, PIXEL_RGB555},
        {2, 24, getChannelMasks(PIXEL_BGR8), PIXEL_BGR8},
        {10, 32, getChannelMasks(PIXEL_BGRA8), PIXEL_BGRA8},
        {3, 8, grey, PIXEL_BGR8},
        {11, 8, grey, PIXEL_BGR8},
        {3, 16, greyAlpha, PIXEL_BGRA8},
        {11, 16, greyAlpha, PIXEL_BGRA8},
    };
    // Two rows of three: a run of two equal pixels then a different one.
    const std::array<int, 4> colours[] = {{200, 40, 90, 255}, {200, 40, 90, 255}, {10, 250, 130, 60},
                                          {0, 0, 0, 0},       {0, 0, 0, 0},       {255, 255, 255, 255}};
    TranslatorTGA translator;
    for (const Variant& variant : variants) {
        SCOPED_TRACE(::testing::Message() << "type " << variant.type << ", depth " << variant.depth);
        const bool indexed = variant.masks == ChannelMasks{};
        const bool greys = variant.masks.red == 0xFF && variant.masks.green == 0xFF;
        const int size = (variant.depth + 7) / 8;
        std::string map;
        std::vector<std::string> pixels;
        for (int i = 0; i < 6; ++i) {
            std::array<int, 4> written = colours[i];
            if (greys) {
                written = {colours[i][0], 0, 0, colours[i][3]};
            }
            pixels.push_back(
                indexed ? std::string(1, static_cast<char>(i))
                        : packPixel(greys ? ChannelMasks{0xFF, 0, 0, variant.masks.alpha} : variant.masks,
                                    size, written));
            map += packPixel(getChannelMasks(PIXEL_BGR8), 3, colours[i]);
        }
        std::string data;
        if (variant.type < 9) {
            for (const std::string& pixel : pixels) {
                data += pixel;
            }
        } else {
            // Each row: a repeat packet of two, a literal packet of one.
            for (int row = 0; row < 2; ++row) {
                data += bytes({0x81}) + pixels[3 * row] + bytes({0x00}) + pixels[3 * row + 2];
            }
        }
        const std::string file = indexed ? tga(variant.type, 3, 2, 8, 0x20, map + data, "", 6, 24)
                                         : tga(variant.type, 3, 2, variant.depth, 0x20, data);
        Pointer<Image> image = decode(translator, file);
        ASSERT_EQ(image->getFormat(), variant.format);
        for (int i = 0; i < 6; ++i) {
            const std::array<int, 4> got = rgbaOf(*image, i % 3, i / 3);
            for (int c = 0; c < 4; ++c) {
                const bool present = c < 3 || variant.masks.alpha != 0;
                const int written = greys && c < 3 ? colours[i][0] : colours[i][c];
                // Half a step of 5-bit channels.
                EXPECT_NEAR(got[c], present ? written : 255, 5) << "pixel " << i << " channel " << c;
            }
        }
    }
}

TEST(TranslatorTGATest, RefusesOtherTypesDepthsAndMapEntrySizes) {
    TranslatorTGA translator;
    const auto refused = [&](const std::string& file) {
        return messageOf<io::TranslatorFormatException>([&] { decode(translator, file); });
    };
    EXPECT_EQ(refused(tga(0, 1, 1, 24, 0, "abc")), "TranslatorFormatException");
    EXPECT_EQ(refused(tga(3, 1, 1, 24, 0, "abc")), "TranslatorFormatException");
    EXPECT_EQ(refused(tga(9, 1, 1, 16, 0,
                          std::string("\x80"
                                      "ab"))),
              "TranslatorFormatException");
    EXPECT_EQ(refused(tga(12, 1, 1, 8, 0, "a")), "TranslatorFormatException");
    EXPECT_EQ(refused(tga(2, 2, 2, 24, 0x20, "abcdefghijk")), "TranslatorFormatException");
    EXPECT_EQ(refused(tga(10, 2, 1, 24, 0x20,
                          std::string("\0"
                                      "abc",
                                      4))),
              "TranslatorFormatException");
    EXPECT_EQ(refused(tga(2, 1, 1, 12, 0, "ab")), "TranslatorFormatException");
    EXPECT_EQ(refused(tga(1, 1, 1, 8, 0, "abc", "", 1, 8)), "TranslatorFormatException");
    EXPECT_EQ(refused(tga(2, 1, 1, 24, 0, "").substr(0, 17)), "TranslatorFormatException");
}

}  // namespace
}  // namespace nevrik::graphics
