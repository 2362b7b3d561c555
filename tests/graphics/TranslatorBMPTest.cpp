#include "nevrik/graphics/TranslatorBMP.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/io/TranslatorFormatException.h"

#include "graphics/ImageFiles.h"

#include <gtest/gtest.h>

namespace nevrik::graphics {
namespace {

using object::Pointer;
using namespace nevrik::testing;

constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;

struct BmpLayout {
    BmpLayout(std::int32_t w, std::int32_t h, int bits, std::uint32_t packing = 0, std::uint32_t info = 40)
        : width(w), height(h), bitCount(bits), compression(packing), infoSize(info) {}

    std::int32_t width;
    std::int32_t height;
    int bitCount;
    std::uint32_t compression;
    std::uint32_t infoSize;
    std::uint32_t coloursUsed = 0;
    std::string palette;  // blue, green, red, reserved per entry
    std::string masks;    // bit fields: inside the info header when it has room
    std::string pixels;
};

std::string bmp(const BmpLayout& layout) {
    std::string info;
    put32(info, layout.infoSize);
    put32(info, static_cast<std::uint32_t>(layout.width));
    put32(info, static_cast<std::uint32_t>(layout.height));
    put16(info, 1);
    put16(info, static_cast<unsigned>(layout.bitCount));
    put32(info, layout.compression);
    put32(info, static_cast<std::uint32_t>(layout.pixels.size()));
    put32(info, 2835);
    put32(info, 2835);
    put32(info, layout.coloursUsed);
    put32(info, 0);
    info.resize(layout.infoSize, '\0');
    std::string after = layout.palette;
    if (info.size() >= 40 + layout.masks.size()) {
        info.replace(40, layout.masks.size(), layout.masks);
    } else {
        after = layout.masks + after;
    }
    std::string file = "BM";
    const auto offset = static_cast<std::uint32_t>(14 + info.size() + after.size());
    put32(file, offset + static_cast<std::uint32_t>(layout.pixels.size()));
    put32(file, 0);
    put32(file, offset);
    return file + info + after + layout.pixels;
}

std::string maskFields(const ChannelMasks& masks, bool alpha) {
    std::string fields;
    for (const std::uint64_t mask : {masks.red, masks.green, masks.blue}) {
        put32(fields, static_cast<std::uint32_t>(mask));
    }
    if (alpha) {
        put32(fields, static_cast<std::uint32_t>(masks.alpha));
    }
    return fields;
}

// Sixteen greys: entry i is (i, i, i).
std::string greys(int count) {
    std::string palette;
    for (int i = 0; i < count; ++i) {
        palette += bytes({unsigned(i), unsigned(i), unsigned(i), 0});
    }
    return palette;
}

TEST(TranslatorBMPTest, TwentyFourBitRowsArePaddedAndStoredBottomUp) {
    BmpLayout layout(2, 2, 24);
    // File row 0 is the bottom of the picture; each row has 2 padding bytes.
    layout.pixels = bytes({1, 2, 3, 4, 5, 6, 0xEE, 0xEE, 7, 8, 9, 10, 11, 12, 0xEE, 0xEE});
    TranslatorBMP translator;
    Pointer<Image> image = decode(translator, bmp(layout));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->getFormat(), PIXEL_BGR8);
    EXPECT_EQ(pixelsOf(*image), bytes({7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6}));
}

TEST(TranslatorBMPTest, IndexedDepthsUnpackMostSignificantFirstWithTheirPalette) {
    TranslatorBMP translator;
    BmpLayout one(10, 1, 1);
    one.palette = bytes({0, 0, 0, 0, 30, 20, 10, 99});
    one.pixels = bytes({0b10110000, 0b01000000, 0, 0});
    Pointer<Image> image = decode(translator, bmp(one));
    EXPECT_EQ(pixelsOf(*image), bytes({1, 0, 1, 1, 0, 0, 0, 0, 0, 1}));
    Palette<uchar> palette;
    ASSERT_TRUE(image->getPalette(palette));
    // Stored as red, green, blue and a zero fourth component.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(palette.getEntry(1)), 4), bytes({10, 20, 30, 0}));

    BmpLayout four(3, 1, 4);
    four.palette = greys(16);
    four.pixels = bytes({0xAB, 0xC0, 0, 0});
    EXPECT_EQ(pixelsOf(*decode(translator, bmp(four))), bytes({0xA, 0xB, 0xC}));

    BmpLayout eight(3, 1, 8);
    eight.palette = greys(256);
    eight.pixels = bytes({200, 100, 50, 0});
    image = decode(translator, bmp(eight));
    EXPECT_EQ(pixelsOf(*image), bytes({200, 100, 50}));
    ASSERT_TRUE(image->getPalette(palette));
    EXPECT_EQ(palette.getEntry(255)[0], 255);
}

TEST(TranslatorBMPTest, ColoursUsedSetsThePaletteLengthAndEntriesPast256AreSkipped) {
    TranslatorBMP translator;
    BmpLayout few(2, 1, 8);
    few.coloursUsed = 2;
    few.palette = bytes({1, 1, 1, 0, 2, 2, 2, 0});
    few.pixels = bytes({1, 0, 0, 0});
    Pointer<Image> image = decode(translator, bmp(few));
    EXPECT_EQ(pixelsOf(*image), bytes({1, 0}));

    // No count given, and room for only two entries before the pixels.
    BmpLayout shortPalette(2, 1, 8);
    shortPalette.palette = bytes({1, 1, 1, 0, 2, 2, 2, 0});
    shortPalette.pixels = bytes({1, 0, 0, 0});
    image = decode(translator, bmp(shortPalette));
    EXPECT_EQ(pixelsOf(*image), bytes({1, 0}));
    Palette<uchar> entries;
    image->getPalette(entries);
    EXPECT_EQ(entries.getEntry(1)[0], 2);
    EXPECT_EQ(entries.getEntry(2)[0], 0);

    // A longer info header than the fields read: the palette comes after all of it.
    BmpLayout longInfo(1, 1, 8, 0, 140);
    longInfo.coloursUsed = 1;
    longInfo.palette = bytes({30, 20, 10, 0});
    longInfo.pixels = bytes({0, 0, 0, 0});
    image = decode(translator, bmp(longInfo));
    image->getPalette(entries);
    EXPECT_EQ(entries.getEntry(0)[0], 10);

    BmpLayout many(2, 1, 8);
    many.coloursUsed = 300;
    many.palette = greys(256) + std::string(44 * 4, '\x7F');
    many.pixels = bytes({9, 8, 0, 0});
    image = decode(translator, bmp(many));
    EXPECT_EQ(pixelsOf(*image), bytes({9, 8}));
    Palette<uchar> palette;
    image->getPalette(palette);
    EXPECT_EQ(palette.getEntry(255)[2], 255);
}

TEST(TranslatorBMPTest, SixteenBitRowsAreX1R5G5B5WordsMadeRgb555) {
    // Bottom row blue (bits 0-4 in the file), top row red (bits 10-14).
    BmpLayout layout(1, 2, 16);
    layout.pixels = bytes({0x1F, 0x00, 0, 0, 0x00, 0x7C, 0, 0});
    TranslatorBMP translator;
    Pointer<Image> image = decode(translator, bmp(layout));
    EXPECT_EQ(image->getFormat(), PIXEL_RGB555);
    EXPECT_EQ(pixelsOf(*image), bytes({0x1F, 0x00, 0x00, 0x7C}));
}

TEST(TranslatorBMPTest, FifteenBitRowsAreWholeWordsLong) {
    // 100 pixels of 15 bits would pack into 188 bytes; the rows hold 200.
    BmpLayout layout(100, 2, 15);
    // Grey words read the same in either channel order.
    std::string grey;
    for (int i = 0; i < 100; ++i) {
        grey += bytes({0x10, 0x42});
    }
    layout.pixels = grey + std::string(200, '\0');
    TranslatorBMP translator;
    Pointer<Image> image = decode(translator, bmp(layout));
    EXPECT_EQ(image->getFormat(), PIXEL_RGB555);
    EXPECT_EQ(pixelsOf(*image), std::string(200, '\0') + grey);
}

TEST(TranslatorBMPTest, NegativeHeightLoadsTopDown) {
    BmpLayout layout(1, -3, 8);
    layout.palette = greys(256);
    layout.pixels = bytes({1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0});
    TranslatorBMP translator;
    Pointer<Image> image = decode(translator, bmp(layout));
    EXPECT_EQ(image->getHeight(), 3);
    EXPECT_EQ(pixelsOf(*image), bytes({1, 2, 3}));
}

TEST(TranslatorBMPTest, ShortPixelDataIsRefused) {
    BmpLayout layout(2, 2, 24);
    layout.pixels = bytes({1, 2, 3, 4});
    TranslatorBMP translator;
    EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] { decode(translator, bmp(layout)); }),
              "TranslatorFormatException");
}

TEST(TranslatorBMPTest, RunLength8RunsEscapesAndDeltas) {
    BmpLayout layout(4, 3, 8, kRle8);
    layout.palette = greys(256);
    layout.pixels = bytes({
        2, 7,              // bottom row: 7 7
        0, 0,              // end of line
        0, 3, 1, 2, 3, 0,  // absolute run of 3, padded to 4 bytes
        0, 2, 0, 1,        // delta: stay in the column, one row up
        6, 9,              // a run past the row end is cut there
        0, 1,              // end of picture...
        5, 5,              // ...so this is never drawn
    });
    TranslatorBMP translator;
    Pointer<Image> image = decode(translator, bmp(layout));
    EXPECT_EQ(image->getFormat(), PIXEL_INDEX8);
    EXPECT_EQ(pixelsOf(*image), bytes({0, 0, 0, 9, 1, 2, 3, 0, 7, 7, 0, 0}));
}

TEST(TranslatorBMPTest, RunLength4AlternatesNibbles) {
    BmpLayout layout(5, 2, 4, kRle4);
    layout.palette = greys(16);
    layout.pixels = bytes({
        5,
        0x12,  // 1 2 1 2 1
        0,
        0,  //
        0,
        3,
        0x34,
        0x50,  // absolute: 3 4 5, two bytes (already even)
        0,
        1,
    });
    TranslatorBMP translator;
    EXPECT_EQ(pixelsOf(*decode(translator, bmp(layout))), bytes({3, 4, 5, 0, 0, 1, 2, 1, 2, 1}));
}

TEST(TranslatorBMPTest, DeltasAndRunsOutsideTheBitmapWriteNothing) {
    BmpLayout layout(2, 2, 8, kRle8);
    layout.palette = greys(256);
    layout.pixels = bytes({
        0,
        2,
        200,
        0,  // far to the right
        3,
        1,  // clipped away entirely
        0,
        0,  // next row up starts at column 0
        0,
        2,
        0,
        9,  // far above the top: decoding stops
        2,
        4,
    });
    TranslatorBMP translator;
    EXPECT_EQ(pixelsOf(*decode(translator, bmp(layout))), bytes({0, 0, 0, 0}));

    // An absolute run cut short by the end of the data, and data ending
    // before its end code with rows left: truncated files.
    for (const std::string& cut : {bytes({0, 4, 6, 6}), bytes({2, 6}), bytes({0, 2, 1})}) {
        layout.pixels = cut;
        EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] { decode(translator, bmp(layout)); }),
                  "TranslatorFormatException");
    }
}

TEST(TranslatorBMPTest, EveryDirectColourVariantDecodesTheColoursWritten) {
    // Half a step of the coarsest channel below: 4 bits.
    constexpr int kFourBitRounding = 9;
    constexpr std::uint32_t kBitFields = 3;
    constexpr std::uint32_t kAlphaBitFields = 6;
    struct Variant {
        int bits;
        std::uint32_t compression;
        std::uint32_t infoSize;
        ChannelMasks masks;
        std::uint32_t format;
    };
    const ChannelMasks x1r5g5b5{0x7C00, 0x03E0, 0x001F, 0};
    const ChannelMasks r5g6b5{0xF800, 0x07E0, 0x001F, 0};
    const ChannelMasks x8r8g8b8{0xFF0000, 0xFF00, 0xFF, 0};
    const ChannelMasks a8b8g8r8{0xFF, 0xFF00, 0xFF0000, 0xFF000000u};
    const ChannelMasks a4r4g4b4{0x0F00, 0x00F0, 0x000F, 0xF000};
    const ChannelMasks r10g10b10{0x3FF00000u, 0xFFC00, 0x3FF, 0};
    const Variant variants[] = {
        {16, 0, 40, x1r5g5b5, PIXEL_RGB555},
        {24, 0, 40, getChannelMasks(PIXEL_BGR8), PIXEL_BGR8},
        {32, 0, 40, x8r8g8b8, PIXEL_BGRA8},
        {16, kBitFields, 40, r5g6b5, PIXEL_RGB565},
        {16, kBitFields, 40, x1r5g5b5, PIXEL_RGB555},
        {16, kBitFields, 108, a4r4g4b4, PIXEL_BGRA8},
        {32, kBitFields, 40, x8r8g8b8, PIXEL_BGRA8},
        {32, kBitFields, 124, a8b8g8r8, PIXEL_RGBA8},
        {32, kAlphaBitFields, 40, a8b8g8r8, PIXEL_RGBA8},
        {32, kBitFields, 56, r10g10b10, PIXEL_BGR8},
    };
    const std::array<int, 4> colours[] = {
        {255, 0, 0, 255}, {0, 255, 0, 128}, {0, 0, 255, 0}, {90, 160, 30, 255}};
    TranslatorBMP translator;
    for (const Variant& variant : variants) {
        SCOPED_TRACE(::testing::Message() << variant.bits << " bits, compression " << variant.compression
                                          << ", info " << variant.infoSize);
        // Two rows of two pixels, bottom row first, each padded to 4 bytes.
        BmpLayout layout(2, 2, variant.bits, variant.compression, variant.infoSize);
        layout.masks =
            variant.compression == 0
                ? ""
                : maskFields(variant.masks, variant.infoSize >= 56 || variant.compression == kAlphaBitFields);
        for (const int row : {1, 0}) {
            std::string line;
            for (int x = 0; x < 2; ++x) {
                line += packPixel(variant.masks, variant.bits / 8, colours[row * 2 + x]);
            }
            line.resize((line.size() + 3) / 4 * 4, '\0');
            layout.pixels += line;
        }
        Pointer<Image> image = decode(translator, bmp(layout));
        ASSERT_EQ(image->getFormat(), variant.format);
        for (int i = 0; i < 4; ++i) {
            const std::array<int, 4> got = rgbaOf(*image, i % 2, i / 2);
            for (int c = 0; c < 4; ++c) {
                const bool alpha = c == 3 && variant.masks.alpha != 0;
                const int expected = c == 3 && !alpha ? 255 : colours[i][c];
                EXPECT_NEAR(got[c], expected, kFourBitRounding) << "pixel " << i << " channel " << c;
            }
        }
    }
    // Masks that are no run of bits, or lie outside the pixel.
    for (const ChannelMasks& bad :
         {ChannelMasks{0x5, 0x0, 0x0, 0}, ChannelMasks{0x1F0000, 0x3E0, 0x1F, 0}, ChannelMasks{}}) {
        BmpLayout layout(1, 1, 16, kBitFields);
        layout.masks = maskFields(bad, false);
        layout.pixels = std::string(4, '\0');
        EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] { decode(translator, bmp(layout)); }),
                  "TranslatorFormatException");
    }
}

TEST(TranslatorBMPTest, RefusesLayoutsItCannotRead) {
    TranslatorBMP translator;
    const auto refused = [&](const BmpLayout& layout) {
        return messageOf<io::TranslatorFormatException>([&] { decode(translator, bmp(layout)); });
    };
    EXPECT_EQ(refused(BmpLayout{1, 1, 2}), "TranslatorFormatException");
    EXPECT_EQ(refused(BmpLayout{1, 1, 12}), "TranslatorFormatException");
    EXPECT_EQ(refused(BmpLayout{1, 1, 24, kRle8}), "TranslatorFormatException");
    EXPECT_EQ(refused(BmpLayout{1, -1, 8, kRle8}), "TranslatorFormatException");
    EXPECT_EQ(refused(BmpLayout{1, 1, 8, 0, 12}), "TranslatorFormatException");
    // Absurd sizes are refused before anything is allocated.
    EXPECT_EQ(refused(BmpLayout{100000, 100000, 24}), "TranslatorFormatException");
    EXPECT_EQ(refused(BmpLayout{-4, 4, 24}), "TranslatorFormatException");
    EXPECT_EQ(refused(BmpLayout{1, INT32_MIN, 24}), "TranslatorFormatException");

    std::string file = bmp(BmpLayout{1, 1, 24});
    file[10] = 20;  // pixel data said to start inside the info header
    EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] { decode(translator, file); }),
              "TranslatorFormatException");
    EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] { decode(translator, "BM\x10"); }),
              "TranslatorFormatException");
}

}  // namespace
}  // namespace nevrik::graphics
