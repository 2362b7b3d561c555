#include "nevrik/graphics/TranslatorJPG.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/io/IOException.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/io/TranslatorFormatException.h"

#include "graphics/ImageFiles.h"
#include "io/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace nevrik::graphics {
namespace {

using object::Pointer;
using namespace nevrik::testing;

// Four flat quadrants, red, green, blue and white, so that JPEG's losses stay small.
std::string quadrants(int width, int height) {
    std::string rgb;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int quadrant = (y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1);
            const unsigned char colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
            rgb.append(reinterpret_cast<const char*>(colours[quadrant]), 3);
        }
    }
    return rgb;
}

void expectNear(const std::string& actual, const std::string& expected, std::size_t count, int tolerance) {
    ASSERT_GE(actual.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        ASSERT_LE(std::abs(static_cast<unsigned char>(actual[i]) - static_cast<unsigned char>(expected[i])),
                  tolerance)
            << "byte " << i;
    }
}

class TranslatorJPGTest : public ::testing::Test {
protected:
    // Probes read files; the file system is the only way to make one.
    bool probe(const std::string& bytes) {
        mFolder.write("probe.jpg", bytes);
        return mTranslator.probe(*mFactory.open("probe.jpg", io::File::kRead));
    }

    nevrik::testing::TempFolder mFolder;
    io::SystemFileFactory mFactory{mFolder.path().c_str()};
    TranslatorJPG mTranslator;
};

TEST_F(TranslatorJPGTest, DecodesRgbPixels) {
    const std::string rgb = quadrants(32, 16);
    Pointer<Image> image = decode(mTranslator, encodeJpeg(32, 16, rgb));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->getFormat(), PIXEL_RGB8);
    EXPECT_EQ(image->getWidth(), 32);
    EXPECT_EQ(image->getHeight(), 16);
    expectNear(pixelsOf(*image), rgb, rgb.size(), 24);
}

TEST_F(TranslatorJPGTest, ProbeClaimsEveryJpegStreamWhateverItsFirstSegment) {
    EXPECT_TRUE(probe(encodeJpeg(8, 8, quadrants(8, 8))));
    const std::string exif = encodeJpeg(8, 8, quadrants(8, 8), false);
    EXPECT_TRUE(probe(exif));
    EXPECT_EQ(decode(mTranslator, exif)->getWidth(), 8);
    // A bare stream: start of image, then straight to the tables.
    EXPECT_TRUE(probe(std::string("\xFF\xD8\xFF\xDB\x00\x43", 6)));
    for (const std::string& other :
         {std::string("\xFF\xD8\xFF"), std::string("\xFF\xD8\xFF\xD9\x00\x04", 6),
          std::string("\xFF\xD8\xFF\xE0\x00\x01", 6), std::string("\xFF\xD8\x00\xE0\x00\x10", 6)}) {
        EXPECT_FALSE(probe(other));
    }
}

TEST_F(TranslatorJPGTest, TruncatedFileIsRefusedAndTheNextStillDecodes) {
    const std::string rgb = quadrants(64, 64);
    const std::string file = encodeJpeg(64, 64, rgb);
    // Cut halfway through the coded data that follows the scan header.
    const std::size_t scan = file.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    EXPECT_EQ(messageOf<io::TranslatorFormatException>(
                  [&] { decode(mTranslator, file.substr(0, scan + (file.size() - scan) / 2)); }),
              "TranslatorFormatException");
    expectNear(pixelsOf(*decode(mTranslator, file)), rgb, rgb.size(), 24);
}

TEST_F(TranslatorJPGTest, CmykAndYcckFilesBecomeTheColoursOfTheirInks) {
    // Adobe's inverted inks: 255 is none. Quadrants of cyan, magenta, yellow
    // and half black on white paper.
    const unsigned char inks[4][4] = {
        {0, 255, 255, 255}, {255, 0, 255, 255}, {255, 255, 0, 255}, {255, 255, 255, 128}};
    const unsigned char rgb[4][3] = {{0, 255, 255}, {255, 0, 255}, {255, 255, 0}, {128, 128, 128}};
    std::string cmyk;
    std::string expected;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const int quadrant = (y < 8 ? 0 : 2) + (x < 8 ? 0 : 1);
            cmyk.append(reinterpret_cast<const char*>(inks[quadrant]), 4);
            expected.append(reinterpret_cast<const char*>(rgb[quadrant]), 3);
        }
    }
    for (const J_COLOR_SPACE stored : {JCS_CMYK, JCS_YCCK}) {
        SCOPED_TRACE(stored);
        const std::string file = encodeJpeg(16, 16, cmyk, false, 95, stored);
        EXPECT_TRUE(probe(file));
        Pointer<Image> image = decode(mTranslator, file);
        ASSERT_EQ(image->getFormat(), PIXEL_RGB8);
        expectNear(pixelsOf(*image), expected, expected.size(), 24);
    }
}

TEST_F(TranslatorJPGTest, CorruptFileFailsAndTheNextFileStillDecodes) {
    const std::string good = encodeJpeg(16, 16, quadrants(16, 16));
    // A frame header whose length cannot hold a frame.
    const std::string corrupt = good.substr(0, 20) + std::string("\xFF\xC0\x00\x02", 4) + good.substr(20);
    EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] { decode(mTranslator, corrupt); }),
              "TranslatorFormatException");
    EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] { decode(mTranslator, ""); }),
              "TranslatorFormatException");
    Pointer<Image> image = decode(mTranslator, good);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->getWidth(), 16);
    expectNear(pixelsOf(*image), quadrants(16, 16), 16 * 16 * 3, 24);
}

TEST_F(TranslatorJPGTest, AbsurdSizeIsRefusedBeforeDecoding) {
    std::string file = encodeJpeg(8, 8, quadrants(8, 8));
    const std::size_t frame = file.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    // Height and width, big-endian, after the length and the precision.
    file.replace(frame + 5, 4, "\xFF\xDC\xFF\xDC");
    EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] { decode(mTranslator, file); }),
              "TranslatorFormatException");
    EXPECT_TRUE(decode(mTranslator, encodeJpeg(8, 8, quadrants(8, 8))));
}

TEST_F(TranslatorJPGTest, StreamFailureComesThroughAsItself) {
    const std::string good = encodeJpeg(16, 16, quadrants(16, 16));
    testing::FailingStream failing(good.substr(0, good.size() / 2));
    EXPECT_EQ(messageOf<io::IOException>([&] { mTranslator.read(failing, 0); }), "disk gone");
    EXPECT_TRUE(decode(mTranslator, good));
}

}  // namespace
}  // namespace nevrik::graphics
