#include "nevrik/gui3d/FontMap.h"

#include "gui3d/GuiFixture.h"

#include <algorithm>
#include <thread>

namespace nevrik::gui3d {
namespace {

using object::Pointer;

class FontMapTest : public testing::GuiFixture {};

TEST_F(FontMapTest, PadsTheAtlasIntoTheTextureByteForByteAndMapsEveryCode) {
    const freetype::Font& font = *dejaVu();
    Pointer<FontMap> map = Pointer<FontMap>::adopt(FontMap::create(font));
    ASSERT_TRUE(map);
    graphics::Bitmap& atlas = *font.getAtlas();
    const int width = map->getTexture()->getWidth();
    const int height = map->getTexture()->getHeight();
    EXPECT_GE(width, atlas.getWidth());
    EXPECT_GE(height, atlas.getHeight());
    EXPECT_EQ(width & (width - 1), 0);
    EXPECT_EQ(height & (height - 1), 0);

    // Stretching the atlas to the texture's size would move every glyph.
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(width) * height);
    glBindTexture(GL_TEXTURE_2D, map->getTexture()->getTextureName());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, texels.data());
    const std::uint8_t* pixels = atlas.lock();
    int mismatches = 0;
    for (int y = 0; y < atlas.getHeight(); ++y) {
        mismatches += !std::equal(pixels + std::ptrdiff_t{atlas.getPitch()} * y,
                                  pixels + std::ptrdiff_t{atlas.getPitch()} * y + atlas.getWidth(),
                                  texels.begin() + std::ptrdiff_t{width} * y);
    }
    atlas.unlock();
    EXPECT_EQ(mismatches, 0) << "rows that differ";

    float ascent = 0.0f;
    for (int code = 0; code < FontMap::kCodes; ++code) {
        const freetype::Font::Glyph& source = font.getGlyph(static_cast<std::uint8_t>(code));
        const FontMap::Glyph& glyph = map->getGlyph(static_cast<unsigned char>(code));
        ASSERT_FLOAT_EQ(glyph.s0, static_cast<float>(source.x) / width) << code;
        ASSERT_FLOAT_EQ(glyph.t0, static_cast<float>(source.y) / height) << code;
        ASSERT_FLOAT_EQ(glyph.s1, static_cast<float>(source.x + source.width) / width) << code;
        ASSERT_FLOAT_EQ(glyph.t1, static_cast<float>(source.y + source.height) / height) << code;
        ASSERT_EQ(glyph.advance, source.advanceX) << code;
        ASSERT_EQ(glyph.left, source.bearingX) << code;
        ASSERT_EQ(glyph.top, source.bearingY) << code;
        ASSERT_EQ(glyph.width, static_cast<float>(source.width)) << code;
        ASSERT_EQ(glyph.bottom, static_cast<float>(source.height) - source.bearingY) << code;
        ascent = std::max(ascent, glyph.top);
    }
    EXPECT_EQ(map->getAscent(), ascent);
    EXPECT_GT(map->getGlyph('g').bottom, 0.0f) << "a descender reaches below the baseline";
    // Latin-1 codes have glyphs of their own, not those of the code 128 lower.
    EXPECT_NE(map->getGlyph(0xE9).s0 + map->getGlyph(0xE9).t0 * 1000.0f,
              map->getGlyph(0x69).s0 + map->getGlyph(0x69).t0 * 1000.0f);
    EXPECT_GT(map->getGlyph(0xE9).width, 0.0f);
    EXPECT_STREQ(map->className().c_str(), "Object:FontMap");
}

TEST_F(FontMapTest, HoldsItsFontWhileItLivesAndNeedsACurrentContext) {
    freetype::Font* font = dejaVu();
    const std::int32_t before = font->getReferenceCount();
    FontMap* map = FontMap::create(*font);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(font->getReferenceCount(), before + 1);
    EXPECT_EQ(map->getFont(), font);
    map->release();
    EXPECT_EQ(font->getReferenceCount(), before);

    FontMap* elsewhere = reinterpret_cast<FontMap*>(1);
    std::thread other([&] { elsewhere = FontMap::create(*font); });
    other.join();
    EXPECT_EQ(elsewhere, nullptr) << "a thread without a rendering context gets no map";
    EXPECT_EQ(font->getReferenceCount(), before);
}

}  // namespace
}  // namespace nevrik::gui3d
