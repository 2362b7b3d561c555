#include "nevrik/graphics/TranslatorDDS.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/io/TranslatorFormatException.h"

#include "graphics/ImageFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace nevrik::graphics {
namespace {

using object::Pointer;
using namespace nevrik::testing;

constexpr std::uint32_t kBasicFlags = 0x1 | 0x2 | 0x4 | 0x1000;
constexpr std::uint32_t kMipmapFlag = 0x20000;
constexpr std::uint32_t kDepthFlag = 0x800000;

struct DdsLayout {
    DdsLayout() = default;
    DdsLayout(std::uint32_t code, std::uint32_t bits, std::uint32_t side = 1)
        : width(side), height(side), fourCC(code), bitCount(bits) {}

    std::uint32_t flags = kBasicFlags;
    std::uint32_t width = 1;
    std::uint32_t height = 1;
    std::uint32_t depth = 0;
    std::uint32_t mipmaps = 0;
    std::uint32_t fourCC = 0;
    std::uint32_t bitCount = 32;
    std::uint32_t caps = 0x1000;
    std::uint32_t caps2 = 0;
    std::uint32_t pixelFlags = 0;
    ChannelMasks masks;
};

std::string dds(const DdsLayout& layout, const std::string& data) {
    std::string file = "DDS ";
    put32(file, 124);
    put32(file, layout.flags);
    put32(file, layout.height);
    put32(file, layout.width);
    put32(file, 0);
    put32(file, layout.depth);
    put32(file, layout.mipmaps);
    file.resize(80, '\0');
    put32(file, layout.pixelFlags);
    put32(file, layout.fourCC);
    put32(file, layout.bitCount);
    for (const std::uint64_t mask :
         {layout.masks.red, layout.masks.green, layout.masks.blue, layout.masks.alpha}) {
        put32(file, static_cast<std::uint32_t>(mask));
    }
    put32(file, layout.caps);
    put32(file, layout.caps2);
    file.resize(128, '\0');
    return file + data;
}

// Surface bytes filled with `tag`, so each surface names where it came from.
std::string surface(std::uint32_t width, std::uint32_t height, int bytesPerPixel, char tag) {
    return std::string(static_cast<std::size_t>(width) * height * bytesPerPixel, tag);
}

std::uint32_t readU32Tag(const char* tag) {
    return std::uint32_t(std::uint8_t(tag[0])) | std::uint32_t(std::uint8_t(tag[1])) << 8 |
           std::uint32_t(std::uint8_t(tag[2])) << 16 | std::uint32_t(std::uint8_t(tag[3])) << 24;
}

std::vector<Image*> chainOf(Image& head) {
    std::vector<Image*> chain;
    for (Image* image = &head; image != nullptr; image = image->getNext()) {
        chain.push_back(image);
    }
    return chain;
}

TEST(TranslatorDDSTest, MipmapChainOf256By64HasNineLevelsEndingAtOneByOne) {
    DdsLayout layout;
    layout.flags |= kMipmapFlag;
    layout.width = 256;
    layout.height = 64;
    layout.mipmaps = 9;
    layout.bitCount = 24;
    std::string data;
    const std::vector<std::pair<int, int>> sizes = {{256, 64}, {128, 32}, {64, 16}, {32, 8}, {16, 4},
                                                    {8, 2},    {4, 1},    {2, 1},   {1, 1}};
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        data += surface(sizes[i].first, sizes[i].second, 3, static_cast<char>('a' + i));
    }
    TranslatorDDS translator;
    Pointer<Image> head = decode(translator, dds(layout, data));
    const std::vector<Image*> chain = chainOf(*head);
    ASSERT_EQ(chain.size(), 9u);
    for (std::size_t i = 0; i < chain.size(); ++i) {
        EXPECT_EQ(chain[i]->getFormat(), PIXEL_BGR8);
        EXPECT_EQ(chain[i]->getWidth(), sizes[i].first);
        EXPECT_EQ(chain[i]->getHeight(), sizes[i].second);
        EXPECT_EQ(pixelsOf(*chain[i]),
                  surface(sizes[i].first, sizes[i].second, 3, static_cast<char>('a' + i)));
    }
    EXPECT_EQ(translator.getMipmapCount(), 9);
}

TEST(TranslatorDDSTest, MipmapCountIsOneWithoutItsFlagOrWhenZeroAndStopsAtOneByOne) {
    TranslatorDDS translator;
    DdsLayout zero;
    zero.flags |= kMipmapFlag;
    zero.width = 4;
    zero.height = 4;
    EXPECT_EQ(chainOf(*decode(translator, dds(zero, surface(4, 4, 4, 'x')))).size(), 1u);

    DdsLayout unflagged = zero;
    unflagged.flags = kBasicFlags;
    unflagged.mipmaps = 3;
    EXPECT_EQ(chainOf(*decode(translator, dds(unflagged, surface(4, 4, 4, 'x')))).size(), 1u);

    // More levels than halvings: a chain of 1 x 1 images billions long is not made.
    DdsLayout endless = zero;
    endless.mipmaps = 0xFFFFFFFF;
    const std::string levels = surface(4, 4, 4, 'x') + surface(2, 2, 4, 'y') + surface(1, 1, 4, 'z');
    EXPECT_EQ(chainOf(*decode(translator, dds(endless, levels))).size(), 3u);
}

TEST(TranslatorDDSTest, PartialCubeMapRunsLevelByLevelInFaceOrder) {
    DdsLayout layout;
    layout.flags |= kMipmapFlag;
    layout.width = 2;
    layout.height = 2;
    layout.mipmaps = 2;
    layout.fourCC = 21;  // BGRA8
    layout.caps |= 0x8;
    layout.caps2 = 0x200 | 0x400 | 0x8000;  // +X and -Z only
    // The file holds +X level 0, +X level 1, then -Z level 0, -Z level 1.
    const std::string data =
        surface(2, 2, 4, 'A') + surface(1, 1, 4, 'a') + surface(2, 2, 4, 'Z') + surface(1, 1, 4, 'z');
    TranslatorDDS translator;
    const Pointer<Image> head = decode(translator, dds(layout, data));
    const std::vector<Image*> chain = chainOf(*head);
    ASSERT_EQ(chain.size(), 4u);
    EXPECT_EQ(pixelsOf(*chain[0]), surface(2, 2, 4, 'A'));
    EXPECT_EQ(pixelsOf(*chain[1]), surface(2, 2, 4, 'Z'));
    EXPECT_EQ(pixelsOf(*chain[2]), surface(1, 1, 4, 'a'));
    EXPECT_EQ(pixelsOf(*chain[3]), surface(1, 1, 4, 'z'));
}

TEST(TranslatorDDSTest, VolumeChainsEverySliceOfEveryLevel) {
    DdsLayout layout;
    layout.flags |= kMipmapFlag | kDepthFlag;
    layout.width = 2;
    layout.height = 2;
    layout.depth = 4;
    layout.mipmaps = 3;
    layout.fourCC = 23;  // RGB565
    layout.caps |= 0x8;
    layout.caps2 = 0x200000;
    std::string data;
    // Level 0: 4 slices of 2 x 2; level 1: 2 of 1 x 1; level 2: 1 of 1 x 1.
    for (const char tag : std::string("ABCDefg")) {
        const std::uint32_t side = tag < 'a' ? 2 : 1;
        data += surface(side, side, 2, tag);
    }
    TranslatorDDS translator;
    const Pointer<Image> head = decode(translator, dds(layout, data));
    const std::vector<Image*> chain = chainOf(*head);
    ASSERT_EQ(chain.size(), 7u);
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const std::uint32_t side = i < 4 ? 2 : 1;
        EXPECT_EQ(chain[i]->getFormat(), PIXEL_RGB565);
        EXPECT_EQ(pixelsOf(*chain[i]), surface(side, side, 2, "ABCDefg"[i]));
    }
}

TEST(TranslatorDDSTest, FourCCCodesAndThenBitCountsChooseTheFormat) {
    TranslatorDDS translator;
    const std::pair<DdsLayout, std::uint32_t> cases[] = {
        {DdsLayout(22, 0), PIXEL_BGRA8},         {DdsLayout(24, 0), PIXEL_RGB555},
        {DdsLayout(36, 0), PIXEL_RGBA16},        {DdsLayout(41, 0), PIXEL_INDEX8},
        {DdsLayout(0x35545844, 0), PIXEL_DXT5},  {DdsLayout(0, 16), PIXEL_RGB565},
        {DdsLayout(0x12345678, 24), PIXEL_BGR8},
    };
    for (const auto& [layout, format] : cases) {
        EXPECT_EQ(decode(translator, dds(layout, std::string(16, '\x55')))->getFormat(), format)
            << layout.fourCC;
    }
    // Compressed levels have no pitch but keep their blocks.
    const DdsLayout dxt(0x31545844, 0, 64);
    EXPECT_EQ(pixelsOf(*decode(translator, dds(dxt, std::string(2048, '\x55')))), std::string(2048, '\x55'));
}

TEST(TranslatorDDSTest, EveryPixelLayoutByCodeOrMasksDecodesTheColoursWritten) {
    constexpr std::uint32_t kAlphaPixels = 0x1;
    constexpr std::uint32_t kRgb = 0x40;
    constexpr std::uint32_t kLuminance = 0x20000;
    struct Variant {
        std::uint32_t code;   // 0: the masks in the header say
        std::uint32_t flags;  // pixel-format flags
        int bits;
        ChannelMasks masks;  // how the file's pixels are laid out
        std::uint32_t format;
    };
    const ChannelMasks a8r8g8b8{0xFF0000, 0xFF00, 0xFF, 0xFF000000u};
    const ChannelMasks x8r8g8b8{0xFF0000, 0xFF00, 0xFF, 0};
    const ChannelMasks a8b8g8r8{0xFF, 0xFF00, 0xFF0000, 0xFF000000u};
    const ChannelMasks x8b8g8r8{0xFF, 0xFF00, 0xFF0000, 0};
    const ChannelMasks x1r5g5b5{0x7C00, 0x03E0, 0x001F, 0};
    const ChannelMasks a1r5g5b5{0x7C00, 0x03E0, 0x001F, 0x8000};
    const ChannelMasks r5g6b5{0xF800, 0x07E0, 0x001F, 0};
    const ChannelMasks a4r4g4b4{0x0F00, 0x00F0, 0x000F, 0xF000};
    const ChannelMasks grey{0xFF, 0xFF, 0xFF, 0};
    const Variant variants[] = {
        {20, 0, 24, x8r8g8b8, PIXEL_BGR8},
        {21, 0, 32, a8r8g8b8, PIXEL_BGRA8},
        {22, 0, 32, x8r8g8b8, PIXEL_BGRA8},
        {23, 0, 16, r5g6b5, PIXEL_RGB565},
        {24, 0, 16, x1r5g5b5, PIXEL_RGB555},
        {25, 0, 16, a1r5g5b5, PIXEL_BGRA8},
        {26, 0, 16, a4r4g4b4, PIXEL_BGRA8},
        {28, 0, 8, {0, 0, 0, 0xFF}, PIXEL_A8},
        {32, 0, 32, a8b8g8r8, PIXEL_RGBA8},
        {33, 0, 32, x8b8g8r8, PIXEL_RGBA8},
        {36, 0, 64, getChannelMasks(PIXEL_RGBA16), PIXEL_RGBA16},
        {50, 0, 8, grey, PIXEL_BGR8},
        {0, kRgb | kAlphaPixels, 32, a8b8g8r8, PIXEL_RGBA8},
        {0, kRgb, 32, x8b8g8r8, PIXEL_RGBA8},
        {0, kRgb | kAlphaPixels, 32, a8r8g8b8, PIXEL_BGRA8},
        {0, kRgb, 24, getChannelMasks(PIXEL_RGB8), PIXEL_RGB8},
        {0, kRgb, 16, x1r5g5b5, PIXEL_RGB555},
        {0, kRgb, 16, r5g6b5, PIXEL_RGB565},
        {0, kRgb | kAlphaPixels, 16, a4r4g4b4, PIXEL_BGRA8},
        {0, kLuminance, 8, {0xFF, 0, 0, 0}, PIXEL_BGR8},
    };
    const std::array<int, 4> colours[] = {
        {255, 0, 0, 255}, {0, 255, 0, 0}, {0, 0, 255, 136}, {170, 85, 34, 255}};
    TranslatorDDS translator;
    for (const Variant& variant : variants) {
        SCOPED_TRACE(::testing::Message() << "code " << variant.code << ", " << variant.bits << " bits");
        const bool luminance = variant.masks == grey || (variant.flags & kLuminance) != 0;
        DdsLayout layout(variant.code, static_cast<std::uint32_t>(variant.bits));
        layout.width = 4;
        layout.pixelFlags = variant.flags;
        if (variant.code == 0) {
            layout.masks = variant.masks;
        }
        std::string data;
        for (const auto& colour : colours) {
            const std::array<int, 4> written = luminance ? std::array<int, 4>{colour[0], 0, 0, 0} : colour;
            data +=
                packPixel(luminance ? ChannelMasks{0xFF, 0, 0, 0} : variant.masks, variant.bits / 8, written);
        }
        Pointer<Image> image = decode(translator, dds(layout, data));
        ASSERT_EQ(image->getFormat(), variant.format);
        const std::uint64_t present[] = {variant.masks.red, luminance ? 1 : variant.masks.green,
                                         luminance ? 1 : variant.masks.blue, variant.masks.alpha};
        for (int x = 0; x < 4; ++x) {
            const std::array<int, 4> got = rgbaOf(*image, x, 0);
            for (int c = 0; c < 4; ++c) {
                const int fromFile = luminance && c < 3 ? colours[x][0] : colours[x][c];
                const int expected = present[c] != 0 ? fromFile : c == 3 ? 255 : 0;
                // Half a step of the coarsest channel: 1-bit alpha.
                EXPECT_NEAR(got[c], expected, c == 3 && variant.code == 25 ? 128 : 9) << x << " " << c;
            }
        }
    }
    // Masks no channel layout describes, and bit counts no pixel has.
    for (const auto& [bits, masks] : {std::pair{16, ChannelMasks{0x00FF, 0xF0F0, 0, 0}},
                                      std::pair{16, ChannelMasks{0x1F0000, 0x3E0, 0x1F, 0}},
                                      std::pair{12, ChannelMasks{0xF00, 0xF0, 0xF, 0}}}) {
        DdsLayout layout(0, static_cast<std::uint32_t>(bits));
        layout.pixelFlags = kRgb;
        layout.masks = masks;
        EXPECT_EQ(messageOf<io::TranslatorFormatException>(
                      [&] { decode(translator, dds(layout, std::string(8, 'x'))); }),
                  "TranslatorFormatException");
    }
}

TEST(TranslatorDDSTest, CompressedCubeAndVolumeSurfacesKeepTheirBlocksAndShortOnesAreRefused) {
    const auto blocks = [](std::uint32_t side, int blockBytes, char tag) {
        return std::string(((side + 3) / 4) * ((side + 3) / 4) * blockBytes, tag);
    };
    struct Variant {
        const char* code;
        std::uint32_t format;
        int blockBytes;
        std::uint32_t caps2;
        std::uint32_t depth;
    };
    const Variant variants[] = {{"DXT1", PIXEL_DXT1, 8, 0x200 | 0x400 | 0x2000, 0},
                                {"DXT3", PIXEL_DXT3, 16, 0, 0},
                                {"DXT5", PIXEL_DXT5, 16, 0x200000, 2}};
    TranslatorDDS translator;
    for (const Variant& variant : variants) {
        SCOPED_TRACE(variant.code);
        DdsLayout layout(readU32Tag(variant.code), 0, 8);
        layout.flags |= kMipmapFlag | (variant.depth != 0 ? kDepthFlag : 0);
        layout.mipmaps = 4;
        layout.depth = variant.depth;
        layout.caps |= variant.caps2 != 0 ? 0x8 : 0;
        layout.caps2 = variant.caps2;
        // Files hold each face's (or the volume's) levels in turn: 8, 4, 2, 1.
        const int copies = variant.depth == 0 && variant.caps2 != 0 ? 2 : 1;
        std::string data;
        std::vector<std::string> expected;
        for (int copy = 0; copy < copies; ++copy) {
            for (std::uint32_t level = 0, side = 8; level < 4; ++level, side /= 2) {
                const int slices = variant.depth != 0 ? std::max(1, 2 >> level) : 1;
                for (int slice = 0; slice < slices; ++slice) {
                    data += blocks(side, variant.blockBytes,
                                   static_cast<char>('a' + 8 * copy + 2 * level + slice));
                }
            }
        }
        const Pointer<Image> head = decode(translator, dds(layout, data));
        std::string decoded;
        std::size_t count = 0;
        for (Image* image : chainOf(*head)) {
            EXPECT_EQ(image->getFormat(), variant.format);
            const std::string surfaceBytes = pixelsOf(*image);
            ASSERT_EQ(surfaceBytes.size(), static_cast<std::size_t>(getImageBytes(
                                               image->getFormat(), image->getWidth(), image->getHeight())));
            ASSERT_FALSE(surfaceBytes.empty());
            decoded += surfaceBytes;
            ++count;
        }
        // Every block came through; the cube runs level by level, the rest in file order.
        std::string sortedData = data;
        std::string sortedDecoded = decoded;
        std::sort(sortedData.begin(), sortedData.end());
        std::sort(sortedDecoded.begin(), sortedDecoded.end());
        EXPECT_EQ(sortedDecoded, sortedData);
        EXPECT_EQ(count, variant.caps2 == 0 ? 4u : variant.depth != 0 ? 5u : 8u);
        if (variant.caps2 == 0 || variant.depth != 0) {
            EXPECT_EQ(decoded, data);
        }
        EXPECT_EQ(messageOf<io::TranslatorFormatException>(
                      [&] { decode(translator, dds(layout, data.substr(1))); }),
                  "TranslatorFormatException");
    }
}

TEST(TranslatorDDSTest, RefusesBadHeadersFormatsAndSizes) {
    TranslatorDDS translator;
    const auto refused = [&](const std::string& file) {
        return messageOf<io::TranslatorFormatException>([&] { decode(translator, file); });
    };
    DdsLayout good;
    std::string badMagic = dds(good, "");
    badMagic[3] = 'X';
    EXPECT_EQ(refused(badMagic), "TranslatorFormatException");
    EXPECT_EQ(refused(dds(good, "").substr(0, 100)), "TranslatorFormatException");
    DdsLayout noFormatFlag = good;
    noFormatFlag.flags = 0x7;
    EXPECT_EQ(refused(dds(noFormatFlag, "")), "TranslatorFormatException");
    DdsLayout eightBits = good;
    eightBits.bitCount = 8;
    EXPECT_EQ(refused(dds(eightBits, "")), "TranslatorFormatException");
    DdsLayout huge = good;
    huge.width = 40000;
    huge.height = 40000;
    EXPECT_EQ(refused(dds(huge, "")), "TranslatorFormatException");
    // Every slice of a deep volume costs memory: the sum is what is limited.
    DdsLayout deep = good;
    deep.flags |= kDepthFlag;
    deep.width = deep.height = 4096;
    deep.depth = 64;
    deep.caps |= 0x8;
    deep.caps2 = 0x200000;
    EXPECT_EQ(refused(dds(deep, "")), "TranslatorFormatException");
    DdsLayout faceless = good;
    faceless.caps |= 0x8;
    faceless.caps2 = 0x200;
    EXPECT_EQ(refused(dds(faceless, "")), "TranslatorFormatException");
}

}  // namespace
}  // namespace nevrik::graphics
