#include "nevrik/gui3d/FontMap.h"

#include "nevrik/freetype/Font.h"
#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/Texture2D.h"
#include "nevrik/object/Exception.h"

#include <algorithm>

namespace nevrik::gui3d {
namespace {

// The atlas in the top-left corner of a texture with power-of-two sides:
// padding keeps glyphs at their pixels, where letting the texture resize the
// atlas would stretch them. Empty when any step is refused.
object::Pointer<graphics3d::Texture2D> makeTexture(graphics::Bitmap& atlas) {
    using Texture = object::Pointer<graphics3d::Texture2D>;
    try {
        Texture texture =
            graphics3d::Texture2D::create(atlas.getFormat(), atlas.getWidth(), atlas.getHeight(), 1);
        return texture->update(atlas, 0) ? texture : Texture();
    } catch (const object::Exception&) {
        return Texture();
    }
}

}  // namespace

object::Pointer<FontMap> FontMap::create(const freetype::Font& font) {
    graphics::Bitmap* atlas = font.getAtlas();
    if (atlas == nullptr || graphics3d::Context::peek() == nullptr) {
        return nullptr;
    }
    object::Pointer<graphics3d::Texture2D> texture = makeTexture(*atlas);
    return texture ? object::make<FontMap>(font, texture.get()) : nullptr;
}

FontMap::FontMap(const freetype::Font& font, graphics3d::Texture2D* texture)
    : mTexture(texture), mFont(&font) {
    const float width = static_cast<float>(texture->getWidth());
    const float height = static_cast<float>(texture->getHeight());
    for (int code = 0; code < kCodes; ++code) {
        const freetype::Font::Glyph& source = font.getGlyph(static_cast<std::uint8_t>(code));
        Glyph& glyph = mGlyphs[code];
        glyph.s0 = static_cast<float>(source.x) / width;
        glyph.t0 = static_cast<float>(source.y) / height;
        glyph.s1 = glyph.s0 + static_cast<float>(source.width) / width;
        glyph.t1 = glyph.t0 + static_cast<float>(source.height) / height;
        glyph.advance = source.advanceX;
        glyph.top = source.bearingY;
        glyph.left = source.bearingX;
        glyph.width = static_cast<float>(source.width);
        glyph.bottom = static_cast<float>(source.height) - source.bearingY;
        mAscent = std::max(mAscent, glyph.top);
    }
}

FontMap::~FontMap() = default;

}  // namespace nevrik::gui3d
