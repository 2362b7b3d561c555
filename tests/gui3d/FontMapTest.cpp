#include "nevrik/gui3d/FontMap.h"

#include "gui3d/GuiFixture.h"

#include <algorithm>
#include <thread>

namespace nevrik::gui3d {
namespace {

class FontMapTest : public testing::GuiFixture {};

TEST_F(FontMapTest, PadsTheAtlasIntoTheTextureAndMapsEachCodeToItsOwnGlyph) {
    const freetype::Font& font = *dejaVu();
    const std::int32_t references = font.getReferenceCount();
    auto map = FontMap::create(font);
    ASSERT_TRUE(map);
    EXPECT_EQ(font.getReferenceCount(), references + 1);
    const int width = map->getTexture()->getWidth();
    const int height = map->getTexture()->getHeight();
    EXPECT_EQ(width & (width - 1), 0);
    EXPECT_EQ(height & (height - 1), 0);

    // A texture resized from the atlas would move every glyph.
    graphics::Bitmap& atlas = *font.getAtlas();
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(width) * height);
    glBindTexture(GL_TEXTURE_2D, map->getTexture()->getTextureName());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, texels.data());
    const std::uint8_t* pixels = atlas.lock();
    for (int y = 0; y < atlas.getHeight(); ++y) {
        const std::uint8_t* row = pixels + std::ptrdiff_t{atlas.getPitch()} * y;
        ASSERT_TRUE(std::equal(row, row + atlas.getWidth(), texels.begin() + std::ptrdiff_t{width} * y)) << y;
    }
    atlas.unlock();

    float ascent = 0.0f;
    for (int code = 0; code < FontMap::kCodes; ++code) {
        const freetype::Font::Glyph& source = font.getGlyph(code);
        const FontMap::Glyph& glyph = map->getGlyph(code);
        ASSERT_FLOAT_EQ(glyph.s0, static_cast<float>(source.x) / width) << code;
        ASSERT_FLOAT_EQ(glyph.t1, static_cast<float>(source.y + source.height) / height) << code;
        ASSERT_EQ(glyph.bottom, static_cast<float>(source.height) - source.bearingY) << code;
        ASSERT_EQ(glyph.left, source.bearingX) << code;
        ascent = std::max(ascent, glyph.top);
    }
    EXPECT_EQ(map->getAscent(), ascent);
    // Latin-1 codes have glyphs of their own, not those of the code 128 lower.
    EXPECT_NE(std::make_pair(map->getGlyph(0xE9).s0, map->getGlyph(0xE9).t0),
              std::make_pair(map->getGlyph(0x69).s0, map->getGlyph(0x69).t0));
    map.reset();
    EXPECT_EQ(font.getReferenceCount(), references);

    object::Pointer<FontMap> elsewhere;
    std::thread other([&] { elsewhere = FontMap::create(font); });
    other.join();
    EXPECT_EQ(elsewhere, nullptr) << "no rendering context, no map";
}

}  // namespace
}  // namespace nevrik::gui3d
