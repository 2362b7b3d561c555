#include "nevrik/graphics/ImageTranslator.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/FilterDecompress.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics/TranslatorBMP.h"
#include "nevrik/graphics/TranslatorDDS.h"
#include "nevrik/graphics/TranslatorGIF.h"
#include "nevrik/graphics/TranslatorHDR.h"
#include "nevrik/graphics/TranslatorJPG.h"
#include "nevrik/graphics/TranslatorPCX.h"
#include "nevrik/graphics/TranslatorPNG.h"
#include "nevrik/graphics/TranslatorRoster.h"
#include "nevrik/graphics/TranslatorTGA.h"
#include "nevrik/io/TranslatorException.h"
#include "nevrik/io/TranslatorFormatException.h"

#include "graphics/ImageFiles.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <sstream>

namespace nevrik::graphics {
namespace {

using object::Pointer;
using namespace nevrik::testing;

std::string fixture(const std::string& name) {
    std::ifstream in(NEVRIK_TEST_DATA "/images/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string be32(std::uint32_t value) {
    return bytes({value >> 24, (value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF});
}

// A PNG of `width` x `height` whose data is that of an 8 x 8 picture: the
// header is rewritten and its checksum made good again.
std::string pngClaiming(std::uint32_t width, std::uint32_t height, bool interlaced) {
    PngLayout layout;
    layout.width = layout.height = 8;
    layout.colourType = PNG_COLOR_TYPE_RGB;
    layout.interlaced = interlaced;
    layout.rows = std::string(8 * 8 * 3, '\x40');
    std::string file = encodePng(layout);
    // Signature (8), length (4), "IHDR", then width and height.
    file.replace(16, 8, be32(width) + be32(height));
    const auto crc =
        static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(file.data() + 12), 17));
    file.replace(29, 4, be32(crc));
    return file;
}

// A JPEG of `width` x `height` whose coded data is that of an 8 x 8 picture.
std::string jpegClaiming(unsigned width, unsigned height) {
    std::string file = encodeJpeg(8, 8, std::string(8 * 8 * 3, '\x40'));
    const std::size_t frame = file.find("\xFF\xC0");
    file.replace(frame + 5, 4, bytes({height >> 8, height & 0xFF, width >> 8, width & 0xFF}));
    return file;
}

// A GIF whose screen and only frame claim `side` x `side` over the coded
// data of a 16 x 16 frame.
std::string gifClaiming(unsigned side) {
    GifFrame frame;
    frame.width = frame.height = 16;
    frame.indices = std::string(256, '\x01');
    std::string file = encodeGif(16, 16, 0, {{0, 0, 0}, {255, 255, 255}}, {frame});
    file.replace(6, 4, bytes({side & 0xFF, side >> 8, side & 0xFF, side >> 8}));
    const std::size_t descriptor = file.find('\x2C');
    file.replace(descriptor + 5, 4, bytes({side & 0xFF, side >> 8, side & 0xFF, side >> 8}));
    return file;
}

// A PNG whose text chunk claims 2 GiB and holds a few bytes.
std::string pngTextClaiming() {
    std::string file = pngClaiming(8, 8, false).substr(0, 33);
    const std::string text = "tEXtComment";
    file += be32(0x7FFFFFF0u) + text + std::string(1, '\0') + "hello";
    const auto crc = static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(text.data()), 4));
    return file + be32(crc);
}

struct Claim {
    const char* what;
    std::function<std::unique_ptr<ImageTranslator>()> make;
    std::string file;
};

template <class T>
std::function<std::unique_ptr<ImageTranslator>()> maker() {
    return [] { return std::make_unique<T>(); };
}

// Headers that claim between 64 and 256 MiB of pixels (under the default
// limit, so that only the data can refuse them) over a few bytes of data.
std::vector<Claim> hugeClaims() {
    std::string bmp = "BM";
    put32(bmp, 0);
    put32(bmp, 0);
    put32(bmp, 54);
    put32(bmp, 40);
    put32(bmp, 8000);
    put32(bmp, 8000);
    put16(bmp, 1);
    put16(bmp, 24);
    bmp.resize(54, '\0');
    std::string rle = bmp;
    rle[28] = 8;
    rle[30] = 1;  // RLE8
    for (int i = 0; i < 512; ++i) {
        rle += bytes({255, 7});
    }
    std::string tga = bytes({0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x40, 0x1F, 0x40, 0x1F, 24, 0x20});
    std::string tgaRle = tga;
    tgaRle[2] = 10;
    for (int i = 0; i < 256; ++i) {
        tgaRle += bytes({0xFF, 1, 2, 3});
    }
    std::string pcx = bytes({10, 5, 1, 8});
    put16(pcx, 0);
    put16(pcx, 0);
    put16(pcx, 11999);
    put16(pcx, 11999);
    pcx.resize(65, '\0');
    pcx += bytes({1, 0xE0, 0x2E});  // one plane, 12000 bytes a line
    pcx.resize(128, '\0');
    pcx += std::string(9, '\xFF') + std::string(768, '\0');
    std::string dds = "DDS ";
    put32(dds, 124);
    put32(dds, 0x1 | 0x2 | 0x4 | 0x1000);
    put32(dds, 6000);
    put32(dds, 6000);
    dds.resize(84, '\0');
    put32(dds, 21);  // A8R8G8B8
    dds.resize(128, '\0');
    std::string dxt = dds;
    dxt.replace(84, 4, "DXT5");
    dxt.replace(12, 8, std::string("\x00\x20\x00\x00\x00\x20\x00\x00", 8));
    std::string hdr = "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 4000 +X 4000\n";
    hdr += bytes({2, 2, 0x0F, 0xA0, 0x82, 1});
    return {
        {"BMP", maker<TranslatorBMP>(), bmp + std::string(100, '\x10')},
        {"BMP RLE8", maker<TranslatorBMP>(), rle},
        {"TGA", maker<TranslatorTGA>(), tga + std::string(100, '\x10')},
        {"TGA run-length", maker<TranslatorTGA>(), tgaRle},
        {"PCX", maker<TranslatorPCX>(), pcx},
        {"DDS", maker<TranslatorDDS>(), dds + std::string(100, '\x10')},
        {"DDS DXT5", maker<TranslatorDDS>(), dxt + std::string(100, '\x10')},
        {"HDR", maker<TranslatorHDR>(), hdr},
        {"GIF", maker<TranslatorGIF>(), gifClaiming(12000)},
        {"JPG", maker<TranslatorJPG>(), jpegClaiming(8000, 8000)},
        {"PNG", maker<TranslatorPNG>(), pngClaiming(8000, 8000, false)},
        {"PNG interlaced", maker<TranslatorPNG>(), pngClaiming(8000, 8000, true)},
        // Seen only where reserving touches memory, as under the address sanitizer.
        {"PNG text chunk", maker<TranslatorPNG>(), pngTextClaiming()},
    };
}

TEST(ImageTranslatorTest, HugeClaimsOverLittleDataAreRefusedReservingLittle) {
    constexpr std::int64_t kMostGrowth = std::int64_t{16} << 20;
    for (const Claim& claim : hugeClaims()) {
        SCOPED_TRACE(claim.what);
        std::unique_ptr<ImageTranslator> translator = claim.make();
        EXPECT_EQ(messageOf<io::TranslatorException>([&] { decode(*translator, claim.file); }),
                  "TranslatorFormatException");
        const std::int64_t growth = peakGrowthOf([&] { decode(*translator, claim.file); });
        EXPECT_GE(growth, 0);
        EXPECT_LT(growth, kMostGrowth);
    }
}

TEST(ImageTranslatorTest, MemoryLimitIsPerReadAndSetByTheCaller) {
    const std::string png = encodePng([] {
        PngLayout layout;
        layout.width = layout.height = 64;
        layout.colourType = PNG_COLOR_TYPE_RGB;
        layout.rows = std::string(64 * 64 * 3, '\x20');
        return layout;
    }());
    const std::string tga =
        bytes({0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 64, 0, 64, 0, 24, 0x20}) + std::string(64 * 64 * 3, 'x');
    TranslatorPNG pngReader;
    TranslatorTGA tgaReader;
    EXPECT_EQ(pngReader.getMemoryLimit(), ImageTranslator::kDefaultMemoryLimit);
    for (const auto& [translator, file] :
         {std::pair<ImageTranslator*, std::string>{&pngReader, png}, {&tgaReader, tga}}) {
        translator->setMemoryLimit(64 * 64 * 3);
        EXPECT_TRUE(decode(*translator, file));
        translator->setMemoryLimit(64 * 64 * 3 - 1);
        EXPECT_EQ(messageOf<io::TranslatorFormatException>([&] { decode(*translator, file); }),
                  "TranslatorFormatException");
        translator->setMemoryLimit(ImageTranslator::kDefaultMemoryLimit);
        EXPECT_TRUE(decode(*translator, file));
    }
    TranslatorRoster roster;
    roster.setMemoryLimit(1000);
    int members = 0;
    for (io::Translator<Image>* member : roster.getTranslators()) {
        EXPECT_EQ(dynamic_cast<ImageTranslator&>(*member).getMemoryLimit(), 1000);
        ++members;
    }
    EXPECT_EQ(members, 9);
}

TEST(ImageTranslatorTest, ZeroWidthOrHeightPicturesDecodeEmpty) {
    const auto bmp = [](std::uint32_t width, std::uint32_t height, int bits) {
        std::string file = "BM";
        put32(file, 0);
        put32(file, 0);
        put32(file, 54 + (bits == 8 ? 1024 : 0));
        put32(file, 40);
        put32(file, width);
        put32(file, height);
        put16(file, 1);
        put16(file, static_cast<unsigned>(bits));
        file.resize(54 + (bits == 8 ? 1024 : 0), '\0');
        return file;
    };
    const auto tga = [](unsigned width, unsigned height, unsigned type) {
        return bytes({0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0, width, 0, height, 0, 24, 0});
    };
    const auto pcx = [](unsigned xmax, unsigned ymax, unsigned planes) {
        std::string file = bytes({10, 5, 1, 8, 1, 0, 1, 0, xmax, 0, ymax, 0});
        file.resize(65, '\0');
        file += bytes({planes, xmax, 0});  // bytes a line: the width
        file.resize(128, '\0');
        return file + std::string(planes == 1 ? 768 : 0, '\0');
    };
    const auto bmpReader = maker<TranslatorBMP>();
    const auto tgaReader = maker<TranslatorTGA>();
    const auto pcxReader = maker<TranslatorPCX>();
    const std::pair<std::function<std::unique_ptr<ImageTranslator>()>, std::string> cases[] = {
        {bmpReader, bmp(0, 2, 24)},
        {bmpReader, bmp(2, 0, 24)},
        {bmpReader, bmp(0, 2, 8)},
        {bmpReader, bmp(0, 2, 32)},
        {bmpReader, bmp(0, static_cast<std::uint32_t>(-2), 16)},
        {tgaReader, tga(0, 2, 2)},
        {tgaReader, tga(2, 0, 10)},
        {tgaReader, tga(0, 0, 2)},
        {pcxReader, pcx(0, 2, 1)},
        {pcxReader, pcx(2, 0, 3)},
        {pcxReader, pcx(0, 0, 3)},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::unique_ptr<ImageTranslator> translator = cases[i].first();
        Pointer<Image> image;
        EXPECT_NO_THROW(image = decode(*translator, cases[i].second)) << "case " << i;
        ASSERT_TRUE(image) << "case " << i;
        EXPECT_EQ(std::int64_t{image->getWidth()} * image->getHeight(), 0);
        EXPECT_EQ(pixelsOf(*image), "");
    }
}

TEST(ImageTranslatorTest, WrittenPicturesReadBackThroughTheEnginesOwnReaders) {
    // Random pixels in every format a writer takes; each written file must
    // read back, through the same translator, as the same colours.
    std::mt19937 random(20);
    const std::uint32_t formats[] = {PIXEL_INDEX8, PIXEL_RGB8,   PIXEL_BGR8,   PIXEL_RGBA8, PIXEL_BGRA8,
                                     PIXEL_RGB555, PIXEL_RGB565, PIXEL_RGBA16, PIXEL_A8,    PIXEL_DXT1};
    const std::pair<const char*, std::function<std::unique_ptr<ImageTranslator>()>> writers[] = {
        {"BMP", maker<TranslatorBMP>()}, {"TGA", maker<TranslatorTGA>()}, {"PNG", maker<TranslatorPNG>()}};
    for (const auto& [name, make] : writers) {
        const std::unique_ptr<ImageTranslator> translator = make();
        for (const std::uint32_t format : formats) {
            SCOPED_TRACE(::testing::Message() << name << " " << std::hex << format);
            // 7 x 5: rows of every padding, sides that are no block multiple.
            const auto image = object::make<Bitmap>(format, 7, 5);
            std::uint8_t* pixels = image->lock();
            for (std::int64_t i = 0; i < getImageBytes(format, 7, 5); ++i) {
                pixels[i] = static_cast<std::uint8_t>(random());
            }
            Palette<uchar> palette;
            for (int i = 0; i < Palette<uchar>::kSize; ++i) {
                palette.setEntry(i, static_cast<uchar>(random()), static_cast<uchar>(random()),
                                 static_cast<uchar>(random()), 0);
            }
            image->setPalette(palette);
            StringOutputStream out;
            ASSERT_TRUE(translator->write(out, *image));
            Pointer<Image> back = decode(*translator, out.bytes());
            ASSERT_TRUE(back);
            ASSERT_EQ(back->getWidth(), 7);
            ASSERT_EQ(back->getHeight(), 5);
            const Pointer<Image> reference =
                isCompressed(format) ? FilterDecompress().apply(*image) : Pointer<Image>(image.get());
            for (int y = 0; y < 5; ++y) {
                for (int x = 0; x < 7; ++x) {
                    EXPECT_EQ(rgbaOf(*back, x, y), rgbaOf(*reference, x, y)) << x << ", " << y;
                }
            }
            // A stream that fills up fails the write.
            StringOutputStream full(out.bytes().size() / 2);
            EXPECT_FALSE(translator->write(full, *image));
        }
        // Formats without a channel layout, and no pixels at all.
        StringOutputStream out;
        EXPECT_FALSE(translator->write(out, *object::make<Bitmap>(PIXEL_RGB32F, 2, 2)));
        EXPECT_FALSE(translator->write(out, *object::make<Bitmap>(PIXEL_LA8, 2, 2)));
        EXPECT_FALSE(translator->write(out, *object::make<Bitmap>(PIXEL_RGB8, 0, 2)));
    }
}

TEST(ImageTranslatorTest, EveryPrefixIsRefusedAndByteFlipsDecodeOrAreRefused) {
    const std::pair<const char*, std::function<std::unique_ptr<ImageTranslator>()>> files[] = {
        {"rgb24.bmp", maker<TranslatorBMP>()},      {"rle8.bmp", maker<TranslatorBMP>()},
        {"rgb24.dds", maker<TranslatorDDS>()},      {"seeds/dxt1.dds", maker<TranslatorDDS>()},
        {"seeds/mips.dds", maker<TranslatorDDS>()}, {"indexed.pcx", maker<TranslatorPCX>()},
        {"rgb24.tga", maker<TranslatorTGA>()},      {"rle24.tga", maker<TranslatorTGA>()},
        {"rgb.hdr", maker<TranslatorHDR>()},        {"rgb.gif", maker<TranslatorGIF>()},
        {"rgb.jpg", maker<TranslatorJPG>()},        {"seeds/cmyk.jpg", maker<TranslatorJPG>()},
        {"rgb.png", maker<TranslatorPNG>()},        {"seeds/interlaced.png", maker<TranslatorPNG>()},
    };
    std::mt19937 random(18);
    for (const auto& [name, make] : files) {
        SCOPED_TRACE(name);
        const std::string valid = fixture(name);
        ASSERT_FALSE(valid.empty());
        std::unique_ptr<ImageTranslator> translator = make();
        ASSERT_TRUE(decode(*translator, valid));
        // Size 0xFFFFFFFF: whatever the stream has left.
        MemoryStream whole(valid);
        EXPECT_TRUE(translator->read(whole, 0xFFFFFFFFu));
        // Cut anywhere before a trailer (TGA's footer is the longest, 26
        // bytes), the file has lost pixels.
        for (std::size_t length = 0; length + 26 < valid.size(); ++length) {
            EXPECT_THROW(decode(*translator, valid.substr(0, length)), io::TranslatorException) << length;
        }
        for (int round = 0; round < 300; ++round) {
            std::string flipped = valid;
            for (int flips = 1 + round % 3; flips > 0; --flips) {
                flipped[random() % flipped.size()] ^= static_cast<char>(1 + random() % 255);
            }
            try {
                decode(*translator, flipped);
            } catch (const io::TranslatorException&) {
            }
        }
        // A failed read leaves the translator ready for the next.
        EXPECT_TRUE(decode(*translator, valid));
    }
}

}  // namespace
}  // namespace nevrik::graphics
