#include "nevrik/graphics/TranslatorHDR.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/io/TranslatorFormatException.h"

#include "graphics/ImageFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace nevrik::graphics {
namespace {

using object::Pointer;
using namespace nevrik::testing;

std::string header(int width, int height, const std::string& extra = "") {
    return "#?RADIANCE\n" + extra + "FORMAT=32-bit_rle_rgbe\n\n-Y " + std::to_string(height) + " +X " +
           std::to_string(width) + "\n";
}

std::vector<float> floatsOf(Image& image) {
    std::vector<float> values(static_cast<std::size_t>(image.getWidth()) * image.getHeight() * 3);
    std::memcpy(values.data(), image.lock(), values.size() * sizeof(float));
    return values;
}

// A run-length scanline of `width` pixels, each component one run of `value`.
std::string runScanline(int width, const std::vector<unsigned>& values) {
    std::string line = bytes({2, 2, unsigned(width >> 8), unsigned(width & 0xFF)});
    for (const unsigned value : values) {
        for (int left = width; left > 0; left -= 127) {
            line += bytes({128u + unsigned(std::min(left, 127)), value});
        }
    }
    return line;
}

TEST(TranslatorHDRTest, FlatPixelsConvertWithTheExponentAndZeroIsBlack) {
    // Width below 8: every scanline is flat.
    const std::string file = header(2, 1) + bytes({128, 64, 32, 136, 255, 255, 255, 0});
    TranslatorHDR translator;
    Pointer<Image> image = decode(translator, file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->getFormat(), PIXEL_RGB32F);
    EXPECT_EQ(floatsOf(*image), (std::vector<float>{128.0f, 64.0f, 32.0f, 0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(translator.getProgramType(), "RADIANCE");
    EXPECT_EQ(translator.getFlags(), TranslatorHDR::kProgramTypeSeen);
    EXPECT_EQ(translator.getBytesLeft(), 0u);
}

TEST(TranslatorHDRTest, StreamsThatCannotSeekBackReadTheSamePicture) {
    // Run-length and flat scanlines, CRLF header lines, read through a stream
    // that moves only forwards and says nothing of its length.
    const std::string runs =
        header(9, 2) + runScanline(9, {10, 20, 30, 130}) + runScanline(9, {1, 2, 3, 140});
    std::string crlf = "#?RADIANCE\r\nFORMAT=32-bit_rle_rgbe\r\n\r\n-Y 1 +X 2\r\n";
    crlf += bytes({128, 64, 32, 136, 8, 8, 8, 137});
    for (const std::string& file : {runs, crlf}) {
        TranslatorHDR translator;
        const std::vector<float> expected = floatsOf(*decode(translator, file));
        ForwardStream forward(file);
        Pointer<Image> image = translator.read(forward, 0xFFFFFFFFu);
        EXPECT_EQ(floatsOf(*image), expected);
        EXPECT_FALSE(expected.empty());
        EXPECT_NE(expected[0], 0.0f);
    }
}

TEST(TranslatorHDRTest, ExposureAndGammaAreRecordedNotApplied) {
    const std::string file = header(1, 1, "EXPOSURE=2.5\nGAMMA=1.8\nSOFTWARE=test\n") + bytes({1, 2, 3, 137});
    TranslatorHDR translator;
    Pointer<Image> image = decode(translator, file);
    EXPECT_FLOAT_EQ(translator.getExposure(), 2.5f);
    EXPECT_FLOAT_EQ(translator.getGamma(), 1.8f);
    EXPECT_EQ(translator.getFlags(),
              TranslatorHDR::kProgramTypeSeen | TranslatorHDR::kGammaGiven | TranslatorHDR::kExposureGiven);
    EXPECT_EQ(floatsOf(*image), (std::vector<float>{2.0f, 4.0f, 6.0f}));

    // The next read starts from the defaults again.
    decode(translator, header(1, 1) + bytes({0, 0, 0, 0}));
    EXPECT_FLOAT_EQ(translator.getExposure(), 1.0f);
    EXPECT_EQ(translator.getFlags(), TranslatorHDR::kProgramTypeSeen);
}

TEST(TranslatorHDRTest, RunLengthScanlinesDecodeRunsAndLiterals) {
    // Width 8. Red: a run (130, 5) of two, then a literal of six. The other
    // components are single runs.
    std::string file = header(8, 1) + bytes({2, 2, 0, 8});
    file += bytes({130, 5, 6, 10, 11, 12, 13, 14, 15});
    file += bytes({136, 7}) + bytes({136, 9}) + bytes({136, 136});
    TranslatorHDR translator;
    Pointer<Image> image = decode(translator, file);
    const std::vector<float> values = floatsOf(*image);
    const std::vector<float> reds = {5, 5, 10, 11, 12, 13, 14, 15};
    for (std::size_t x = 0; x < 8; ++x) {
        EXPECT_EQ(values[3 * x], reds[x]) << x;
        EXPECT_EQ(values[3 * x + 1], 7.0f);
        EXPECT_EQ(values[3 * x + 2], 9.0f);
    }
}

TEST(TranslatorHDRTest, OldStyleScanlineMakesTheRestOfTheFileFlat) {
    // First scanline run-length, then a pixel that is not a scanline start:
    // from there every pixel is flat, four bytes each.
    std::string file = header(8, 2) + runScanline(8, {1, 2, 3, 136});
    for (int x = 0; x < 8; ++x) {
        file += bytes({unsigned(x), 0, 0, 136});
    }
    TranslatorHDR translator;
    const std::vector<float> values = floatsOf(*decode(translator, file));
    EXPECT_EQ(values[0], 1.0f);
    EXPECT_EQ(values[3 * 8], 0.0f);
    EXPECT_EQ(values[3 * 15], 7.0f);
}

TEST(TranslatorHDRTest, BadScanlinesAreRefusedWithTheirMessages) {
    TranslatorHDR translator;
    const auto message = [&](const std::string& file) {
        return messageOf<io::TranslatorFormatException>([&] { decode(translator, file); });
    };
    const std::string start = header(8, 1) + bytes({2, 2, 0, 8});
    EXPECT_EQ(message(start + bytes({0, 5})), "TranslatorHDR: Bad scanline data");
    // Runs and literals that would pass the end of the component.
    EXPECT_EQ(message(start + bytes({137, 5})), "TranslatorHDR: Bad scanline data");
    EXPECT_EQ(message(start + bytes({130, 5, 7, 1, 1, 1, 1, 1, 1, 1})), "TranslatorHDR: Bad scanline data");
    EXPECT_EQ(message(header(8, 1) + bytes({2, 2, 0, 9})), "TranslatorHDR: Wrong scanline width");
    // The file ends inside a run-length or a flat scanline.
    EXPECT_EQ(message(start + bytes({136})), "TranslatorFormatException");
    EXPECT_EQ(message(header(2, 2) + bytes({1, 2, 3, 4})), "TranslatorFormatException");
}

TEST(TranslatorHDRTest, HeaderRulesAndMessages) {
    TranslatorHDR translator;
    const auto message = [&](const std::string& file) {
        return messageOf<io::TranslatorFormatException>([&] { decode(translator, file); });
    };
    EXPECT_EQ(message("BM not a radiance file"), "TranslatorFormatException");
    EXPECT_EQ(message("#?RADIANCE\nGAMMA=1\n\nFORMAT=32-bit_rle_rgbe\n\n-Y 1 +X 1\n"),
              "TranslatorHDR: No FORMAT specifier found");
    EXPECT_EQ(message("#?RADIANCE\n"), "TranslatorHDR: No FORMAT specifier found");
    EXPECT_EQ(message("#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n-Y 1 +X 1\n"),
              "TranslatorHDR: Missing blank line after FORMAT specifier");
    EXPECT_EQ(message("#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n+X 1 -Y 1\n"),
              "TranslatorHDR: Missing image size specifier");
    EXPECT_EQ(message(header(100000, 100000)), "TranslatorFormatException");
    EXPECT_EQ(message(header(-1, 3)), "TranslatorFormatException");
}

}  // namespace
}  // namespace nevrik::graphics
