#include "nevrik/gui3d/FontCache.h"

#include "gui3d/GuiFixture.h"

#include <thread>

namespace nevrik::gui3d {
namespace {

class FontCacheTest : public testing::GuiFixture {};

TEST_F(FontCacheTest, KeepsOneMapPerFontAndRemembersRefusals) {
    freetype::Font* font = dejaVu();
    const std::int32_t references = font->getReferenceCount();
    FontMap* map = nullptr;
    {
        FontCache cache;
        EXPECT_EQ(cache.get(nullptr), nullptr);
        // A thread without a rendering context cannot make the texture.
        bool refused = false;
        std::thread other([&] { refused = cache.get(font) == nullptr; });
        other.join();
        EXPECT_TRUE(refused);
        EXPECT_EQ(font->getReferenceCount(), references + 1)
            << "kept, so that its address names no other font";
        EXPECT_EQ(cache.get(font), nullptr) << "remembered";
        cache.clear();
        EXPECT_EQ(font->getReferenceCount(), references);

        map = cache.get(font);
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(cache.get(font), map);
        EXPECT_EQ(cache.getCount(), 1);
        EXPECT_EQ(map->getReferenceCount(), 1);
        map->addReference();
    }
    EXPECT_EQ(map->getReferenceCount(), 1) << "released once by the cache";
    map->release();
    EXPECT_EQ(font->getReferenceCount(), references);
}

}  // namespace
}  // namespace nevrik::gui3d
