#include "nevrik/graphics/TranslatorPCX.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/io/TranslatorFormatException.h"

#include "graphics/ImageFiles.h"

#include <gtest/gtest.h>

namespace nevrik::graphics {
namespace {

using object::Pointer;
using namespace nevrik::testing;

std::string pcx(int xmin, int ymin, int xmax, int ymax, int bytesPerLine, const std::string& data,
                int planes = 1) {
    std::string file = bytes({10, 5, 1, 8});
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
    return file + data + palette;
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
