#include "nevrik/graphics/TranslatorPCX.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/io/TranslatorFormatException.h"

#include "graphics/ImageFiles.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>

namespace nevrik::graphics {
namespace {

using object::Pointer;
using namespace nevrik::testing;

std::string pcx(int xmin, int ymin, int xmax, int ymax, int bytesPerLine, const std::string& data,
                int planes = 1, int bits = 8) {
    std::string file = bytes({10, 5, 1, unsigned(bits)});
    put16(file, static_cast<unsigned>(xmin));
    put16(file, static_cast<unsigned>(ymin));
    put16(file, static_cast<unsigned>(xmax));
    put16(file, static_cast<unsigned>(ymax));
    file.resize(65, '\0');
    file.push_back(static_cast<char>(planes));
    put16(file, static_cast<unsigned>(bytesPerLine));
    file.resize(128, '\0');
    std::string palette;
    for (int i = 0; i < 256; ++i) {
        palette += bytes({unsigned(i), unsigned(255 - i), 7});
    }
    // Only 256-colour files end in a palette.
    return file + data + (bits == 8 && planes == 1 ? palette : "");
}

TEST(TranslatorPCXTest, RunBytesRepeatTheNextByteAnd192IsALiteral) {
    // 0xC5 0x07: five pixels of 7; 0xC0 is the pixel value 192 itself.
    const std::string file = pcx(0, 0, 7, 0, 8, bytes({0xC5, 0x07, 0xC0, 0x05, 0xC1, 0xC1}));
    TranslatorPCX translator;
    Pointer<Image> image = decode(translator, file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->getFormat(), PIXEL_INDEX8);
    EXPECT_EQ(image->getWidth(), 8);
    EXPECT_EQ(pixelsOf(*image), bytes({7, 7, 7, 7, 7, 192, 5, 0xC1}));
    Palette<uchar> palette;
    ASSERT_TRUE(image->getPalette(palette));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(palette.getEntry(200)), 4), bytes({200, 55, 7, 0}));
}

TEST(TranslatorPCXTest, RunsCrossLinesAndStopAtTheLastPixel) {
    // Origin (3, 5): the size is max - min + 1. One run fills both rows and
    // would go on past the picture.
    const std::string file = pcx(3, 5, 4, 6, 2, bytes({0xFF, 0x09}));
    TranslatorPCX translator;
    Pointer<Image> image = decode(translator, file);
    EXPECT_EQ(image->getHeight(), 2);
    EXPECT_EQ(pixelsOf(*image), bytes({9, 9, 9, 9}));
}

TEST(TranslatorPCXTest, PaddingAtTheEndOfEachLineIsDropped) {
    // Three pixels a line, stored as four bytes.
    const std::string file = pcx(0, 0, 2, 1, 4, bytes({1, 2, 3, 0, 4, 5, 6, 0}));
    TranslatorPCX translator;
    EXPECT_EQ(pixelsOf(*decode(translator, file)), bytes({1, 2, 3, 4, 5, 6}));
}

TEST(TranslatorPCXTest, SizesFromMinusOneTo16383AreAccepted) {
    TranslatorPCX translator;
    Pointer<Image> empty = decode(translator, pcx(5, 0, 4, 0, 0, ""));
    EXPECT_EQ(empty->getWidth(), 0);
    EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] { decode(translator, pcx(6, 0, 4, 0, 0, "")); }),
              "TranslatorFormatException");
    EXPECT_EQ(
        messageOf<io::TranslatorFormatException>([&] { decode(translator, pcx(0, 0, 16384, 0, 0, "")); }),
        "TranslatorFormatException");
    std::string foreign = pcx(0, 0, 1, 1, 2, "");
    foreign[0] = 11;
    EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] { decode(translator, foreign); }),
              "TranslatorFormatException");
    EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] { decode(translator, foreign.substr(0, 127)); }),
              "TranslatorFormatException");
}

TEST(TranslatorPCXTest, OneBitEightBitAndThreePlaneFilesDecodeTheColoursWrittenAndOthersAreRefused) {
    // 10 x 2 pixels; lines padded to an even byte count.
    std::array<int, 3> colours[20];
    for (int i = 0; i < 20; ++i) {
        colours[i] = {(i * 37) % 256, (i * 91 + 13) % 256, (255 - i * 11) % 256};
    }
    TranslatorPCX translator;
    struct Variant {
        int bits;
        int planes;
        int bytesPerLine;
        std::uint32_t format;
    };
    for (const Variant& variant :
         {Variant{1, 1, 2, PIXEL_INDEX8}, Variant{8, 1, 10, PIXEL_INDEX8}, Variant{8, 3, 10, PIXEL_RGB8}}) {
        SCOPED_TRACE(::testing::Message() << variant.bits << " bits, " << variant.planes << " planes");
        std::string lines;
        for (int y = 0; y < 2; ++y) {
            for (int plane = 0; plane < variant.planes; ++plane) {
                std::string line(static_cast<std::size_t>(variant.bytesPerLine), '\0');
                for (int x = 0; x < 10; ++x) {
                    const int i = y * 10 + x;
                    if (variant.bits == 1) {
                        line[x / 8] = static_cast<char>(line[x / 8] | (i % 3 == 0 ? 0x80 >> (x % 8) : 0));
                    } else {
                        line[x] = static_cast<char>(variant.planes == 3 ? colours[i][plane] : i);
                    }
                }
                lines += line;
            }
        }
        // Every byte as a run of one: a literal above 191 would be a run code.
        std::string data;
        for (const char byte : lines) {
            data += bytes({0xC1, static_cast<unsigned char>(byte)});
        }
        Pointer<Image> image =
            decode(translator, pcx(0, 0, 9, 1, variant.bytesPerLine, data, variant.planes, variant.bits));
        ASSERT_EQ(image->getFormat(), variant.format);
        for (int i = 0; i < 20; ++i) {
            const std::array<int, 4> got = rgbaOf(*image, i % 10, i / 10);
            const int white = i % 3 == 0 ? 255 : 0;
            const std::array<int, 3> expected = variant.bits == 1 ? std::array<int, 3>{white, white, white}
                                                : variant.planes == 3 ? colours[i]
                                                                      : std::array<int, 3>{i, 255 - i, 7};
            EXPECT_EQ((std::array<int, 3>{got[0], got[1], got[2]}), expected) << "pixel " << i;
        }
    }
    const std::pair<int, int> refused[] = {{2, 1}, {4, 1}, {1, 4}, {8, 2}, {8, 4}, {4, 4}, {24, 1}};
    for (const auto& [bits, planes] : refused) {
        EXPECT_EQ(messageOf<io::TranslatorFormatException>(
                      [&] { decode(translator, pcx(0, 0, 1, 0, 2, std::string(64, '\x01'), planes, bits)); }),
                  "TranslatorFormatException")
            << bits << " bits, " << planes << " planes";
    }
    // Lines too short for the width.
    EXPECT_EQ(messageOf<io::TranslatorFormatException>(
                  [&] { decode(translator, pcx(0, 0, 9, 0, 8, std::string(64, '\x01'))); }),
              "TranslatorFormatException");
}

TEST(TranslatorPCXTest, FileShorterThanItsPixelsAndPaletteIsRefused) {
    std::string file = pcx(0, 0, 3, 0, 4, "");
    file.resize(128 + 2);
    file[128] = 4;
    file[129] = 4;
    TranslatorPCX translator;
    EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] { decode(translator, file); }),
              "TranslatorFormatException");
    // Pixels present, palette cut.
    EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] {
                  decode(translator, pcx(0, 0, 3, 0, 4, bytes({1, 2, 3, 4})).substr(0, 500));
              }),
              "TranslatorFormatException");
}

}  // namespace
}  // namespace nevrik::graphics
