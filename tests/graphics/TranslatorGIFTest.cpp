#include "nevrik/graphics/TranslatorGIF.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/io/IOException.h"
#include "nevrik/io/TranslatorFormatException.h"

#include "graphics/ImageFiles.h"

#include <gtest/gtest.h>

namespace nevrik::graphics {
namespace {

using object::Pointer;
using namespace nevrik::testing;

const std::vector<GifColorType> kGlobal = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};

// The same file with its global colour map taken out: the screen
// descriptor's flag cleared and the table's bytes cut.
std::string withoutGlobalMap(std::string file) {
    const std::size_t tableBytes = 3u << ((file[10] & 7) + 1);
    file[10] = static_cast<char>(file[10] & 0x7F);
    return file.erase(13, tableBytes);
}

GifFrame frame(int left, int top, int width, int height, const std::string& indices) {
    GifFrame made;
    made.left = left;
    made.top = top;
    made.width = width;
    made.height = height;
    made.indices = indices;
    return made;
}

std::string entryOf(Image& image, int index) {
    Palette<uchar> palette;
    EXPECT_TRUE(image.getPalette(palette));
    return std::string(reinterpret_cast<const char*>(palette.getEntry(index)), 4);
}

TEST(TranslatorGIFTest, AnimatedFramesAreDrawnOverOneCanvasAndUncoveredPixelsKeepTheBackground) {
    const std::string file = encodeGif(
        4, 3, 3, kGlobal, {frame(0, 0, 2, 2, bytes({1, 1, 1, 1})), frame(1, 1, 2, 2, bytes({2, 2, 2, 2}))});
    TranslatorGIF translator;
    Pointer<Image> image = decode(translator, file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->getFormat(), PIXEL_INDEX8);
    EXPECT_EQ(pixelsOf(*image), bytes({1, 1, 3, 3,  //
                                       1, 2, 2, 3,  //
                                       3, 2, 2, 3}));
    EXPECT_EQ(entryOf(*image, 3), bytes({10, 11, 12, 0}));
}

TEST(TranslatorGIFTest, InterlacedRowsLandInPictureOrder) {
    std::string indices;
    for (int y = 0; y < 10; ++y) {
        indices += bytes({unsigned(y), unsigned(y)});
    }
    GifFrame interlaced = frame(0, 0, 2, 10, indices);
    interlaced.interlaced = true;
    const std::vector<GifColorType> sixteen(16, GifColorType{0, 0, 0});
    TranslatorGIF translator;
    EXPECT_EQ(pixelsOf(*decode(translator, encodeGif(2, 10, 0, sixteen, {interlaced}))), indices);
}

TEST(TranslatorGIFTest, PaletteIsTheLastFramesOwnMapElseTheGlobalOneElseGrey) {
    TranslatorGIF translator;
    GifFrame local = frame(0, 0, 1, 1, bytes({0}));
    local.colours = {{200, 201, 202}, {0, 0, 0}};
    Pointer<Image> image = decode(translator, encodeGif(1, 1, 0, kGlobal, {local}));
    EXPECT_EQ(entryOf(*image, 0), bytes({200, 201, 202, 0}));
    // A later frame without a map of its own brings the global map back.
    image = decode(translator, encodeGif(1, 1, 0, kGlobal, {local, frame(0, 0, 1, 1, bytes({1}))}));
    EXPECT_EQ(entryOf(*image, 0), bytes({1, 2, 3, 0}));
    image =
        decode(translator, withoutGlobalMap(encodeGif(1, 1, 0, kGlobal, {frame(0, 0, 1, 1, bytes({1}))})));
    EXPECT_EQ(pixelsOf(*image), bytes({1}));
    EXPECT_EQ(entryOf(*image, 200), bytes({200, 200, 200, 0}));
}

TEST(TranslatorGIFTest, FrameOutsideTheScreenIsRefused) {
    TranslatorGIF translator;
    for (const GifFrame& outside :
         {frame(0, 0, 3, 2, std::string(6, '\1')), frame(1, 0, 2, 2, std::string(4, '\1')),
          frame(0, 1, 2, 2, std::string(4, '\1'))}) {
        EXPECT_EQ(messageOf<io::TranslatorFormatException>(
                      [&] { decode(translator, encodeGif(2, 2, 0, kGlobal, {outside})); }),
                  "TranslatorFormatException");
    }
}

TEST(TranslatorGIFTest, BrokenFilesFailWithTheirCause) {
    TranslatorGIF translator;
    const std::string good = encodeGif(4, 4, 0, kGlobal, {frame(0, 0, 4, 4, std::string(16, '\2'))});
    EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] { decode(translator, "GIF89a"); }),
              "TranslatorFormatException");
    EXPECT_EQ(messageOf<io::TranslatorFormatException>(
                  [&] { decode(translator, good.substr(0, good.size() - 8)); }),
              "TranslatorFormatException");
    testing::FailingStream failing(good.substr(0, 30));
    EXPECT_EQ(messageOf<io::IOException>([&] { translator.read(failing, 0); }), "disk gone");
    EXPECT_EQ(pixelsOf(*decode(translator, good)), std::string(16, '\2'));
}

}  // namespace
}  // namespace nevrik::graphics
