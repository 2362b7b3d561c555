#include "nevrik/gui3d/FontCache.h"

#include "gui3d/GuiFixture.h"

#include <thread>

namespace nevrik::gui3d {
namespace {

class FontCacheTest : public testing::GuiFixture {};

TEST_F(FontCacheTest, MakesOneMapPerFontAndReleasesItOnceWhenItDies) {
    freetype::Font* font = dejaVu();
    FontMap* map = nullptr;
    {
        FontCache cache;
        EXPECT_EQ(cache.get(nullptr), nullptr);
        EXPECT_EQ(cache.getCount(), 0);
        map = cache.get(font);
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(cache.get(font), map);
        EXPECT_EQ(cache.getCount(), 1);
        EXPECT_EQ(map->getReferenceCount(), 1) << "the cache's only";
        map->addReference();
    }
    EXPECT_EQ(map->getReferenceCount(), 1);
    map->release();
}

TEST_F(FontCacheTest, AFontRefusedOnceStaysRefusedAndAliveUntilCleared) {
    freetype::Font* font = dejaVu();
    const std::int32_t before = font->getReferenceCount();
    FontCache cache;
    FontMap* refused = reinterpret_cast<FontMap*>(1);
    // A thread without a rendering context cannot make the texture.
    std::thread other([&] { refused = cache.get(font); });
    other.join();
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(font->getReferenceCount(), before + 1) << "kept, so that its address names no other font";
    EXPECT_EQ(cache.get(font), nullptr) << "remembered, even where a map could be made";
    EXPECT_EQ(cache.getCount(), 1);
    cache.clear();
    EXPECT_EQ(font->getReferenceCount(), before);
    EXPECT_NE(cache.get(font), nullptr);
}

}  // namespace
}  // namespace nevrik::gui3d
