#include "nevrik/graphics/Image.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace nevrik::graphics {
namespace {

using object::Pointer;

// Counts its deaths so that a chain can be shown to die exactly once per link.
class CountedImage : public Bitmap {
public:
    explicit CountedImage(int& deaths) : Bitmap(PIXEL_A8, 1, 1), mDeaths(deaths) {}
    ~CountedImage() override { ++mDeaths; }

private:
    int& mDeaths;
};

TEST(ImageTest, PitchIsWidthTimesBytesPerPixelForEveryCodeOfTheRule) {
    const std::vector<std::pair<std::uint32_t, int>> sizes = {
        {PIXEL_INDEX8, 1},  {PIXEL_A8, 1},     {PIXEL_RGB555, 2},  {PIXEL_RGB565, 2},  {PIXEL_RGB16, 6},
        {PIXEL_BGR16, 6},   {PIXEL_A16, 2},    {PIXEL_LA8, 2},     {PIXEL_DUDV8, 2},   {PIXEL_RGB8, 3},
        {PIXEL_BGR8, 3},    {PIXEL_RGBA8, 4},  {PIXEL_BGRA8, 4},   {PIXEL_RGBA16, 8},  {PIXEL_BGRA16, 8},
        {PIXEL_A16F, 2},    {PIXEL_RGB16F, 6}, {PIXEL_RGBA16F, 8}, {PIXEL_RGB32F, 12}, {PIXEL_RGBA32F, 16},
        {0x00200010u, 4},   {0x00200012u, 4},  {0x00240005u, 5},   {0x10200018u, 4},   {0x10300016u, 6},
        {0x10400015u, 8},   {0x3060001Cu, 12}, {0x3080001Bu, 16},  {PIXEL_A32F, 0},    {PIXEL_DEPTH16, 0},
        {PIXEL_DEPTH24, 0}, {PIXEL_DXT1, 0},   {PIXEL_DXT3, 0},    {PIXEL_DXT5, 0},    {0x12345678u, 0},
    };
    for (const auto& [format, bytes] : sizes) {
        const Bitmap image(format, Image::Size{7, 3});
        EXPECT_EQ(image.getPitch(), 7 * bytes) << std::hex << format;
        EXPECT_EQ(image.getWidth(), 7);
        EXPECT_EQ(image.getHeight(), 3);
    }
}

TEST(ImageTest, ChainHoldsOneReferenceAndDiesOnceLinkByLink) {
    int deaths = 0;
    {
        Pointer<Image> head = object::make<CountedImage>(deaths);
        Pointer<Image> second = object::make<CountedImage>(deaths);
        head->setNext(second.get());
        EXPECT_EQ(second->getReferenceCount(), 2);
        // Relinking the same image keeps exactly one reference.
        head->setNext(second.get());
        EXPECT_EQ(second->getReferenceCount(), 2);
        second.reset();
        EXPECT_EQ(deaths, 0);
        EXPECT_EQ(head->getNext()->getReferenceCount(), 1);
    }
    EXPECT_EQ(deaths, 2);
}

TEST(ImageTest, SharedTailOutlivesTheHeadThatLetGoOfIt) {
    int deaths = 0;
    Pointer<Image> tail = object::make<CountedImage>(deaths);
    {
        Pointer<Image> head = object::make<CountedImage>(deaths);
        Pointer<Image> middle = object::make<CountedImage>(deaths);
        head->setNext(middle.get());
        middle->setNext(tail.get());
    }
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(tail->getReferenceCount(), 1);
}

TEST(ImageTest, VeryLongChainIsReleasedWithoutRecursion) {
    int deaths = 0;
    constexpr int kLinks = 200000;
    {
        Pointer<Image> head = object::make<CountedImage>(deaths);
        Image* last = head.get();
        for (int i = 1; i < kLinks; ++i) {
            Pointer<Image> link = object::make<CountedImage>(deaths);
            last->setNext(link.get());
            last = link.get();
        }
    }
    EXPECT_EQ(deaths, kLinks);
}

}  // namespace
}  // namespace nevrik::graphics
