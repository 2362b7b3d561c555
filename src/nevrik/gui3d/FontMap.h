#pragma once

#include "nevrik/freetype/Font.h"
#include "nevrik/graphics3d/core/Texture2D.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"

namespace nevrik::gui3d {

/// A font's glyph atlas as a texture, with per-code texture coordinates and
/// metrics for laying out quads along a baseline.
///
/// Reference-counted; made by create() and usually kept by a FontCache.
/// Holds a reference on its font and its texture. Made and used on the thread
/// whose rendering context is current.
class FontMap : public object::Object {
public:
    // clone() and create() make their objects with make().
    template <class U, class... Arguments>
    friend object::Pointer<U> object::make(Arguments&&...);

    /// Where a code's glyph sits in the texture and how it sits on the line,
    /// in pixels with y downwards from the baseline for `bottom`.
    struct Glyph {
        float s0 = 0.0f;
        float t0 = 0.0f;
        float s1 = 0.0f;
        float t1 = 0.0f;
        /// Pen movement after the glyph; not rounded.
        float advance = 0.0f;
        /// From the baseline up to the glyph's top.
        float top = 0.0f;
        /// From the pen to the glyph's left edge.
        float left = 0.0f;
        float width = 0.0f;
        /// From the baseline down to the glyph's bottom: height - top.
        float bottom = 0.0f;
    };

    static constexpr int kCodes = 256;

    /// A new map (reference count 1, the caller's) whose texture is made
    /// from the font's atlas on the current context. Null when the texture
    /// cannot be made (no atlas, no current context, a format or size the
    /// driver refuses).
    static object::Pointer<FontMap> create(const freetype::Font& font);

    NEVRIK_CLASS_NAME(object::Object, ":FontMap")

    graphics3d::Texture2D* getTexture() const noexcept { return mTexture.get(); }
    const freetype::Font* getFont() const noexcept { return mFont.get(); }
    const Glyph& getGlyph(unsigned char code) const noexcept { return mGlyphs[code]; }
    /// The greatest `top` of the 256 glyphs: how far below a line's top its
    /// baseline goes for every glyph to fit.
    float getAscent() const noexcept { return mAscent; }

private:
    FontMap(const freetype::Font& font, graphics3d::Texture2D* texture);
    ~FontMap() override;

    object::Pointer<graphics3d::Texture2D> mTexture;
    object::Pointer<const freetype::Font> mFont;
    Glyph mGlyphs[kCodes];
    float mAscent = 0.0f;
};

}  // namespace nevrik::gui3d
