#include "nevrik/graphics/TranslatorDDS.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/io/TranslatorFormatException.h"

#include "graphics/ImageFiles.h"

#include <gtest/gtest.h>

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
    file.resize(84, '\0');
    put32(file, layout.fourCC);
    put32(file, layout.bitCount);
    file.resize(108, '\0');
    put32(file, layout.caps);
    put32(file, layout.caps2);
    file.resize(128, '\0');
    return file + data;
}

// Surface bytes filled with `tag`, so each surface names where it came from.
std::string surface(std::uint32_t width, std::uint32_t height, int bytesPerPixel, char tag) {
    return std::string(static_cast<std::size_t>(width) * height * bytesPerPixel, tag);
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
