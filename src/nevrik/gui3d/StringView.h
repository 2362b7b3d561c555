#pragma once

#include "nevrik/freetype/Font.h"
#include "nevrik/gui3d/FontMap.h"
#include "nevrik/gui3d/View.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

namespace nevrik::gui3d {

/// A view that draws one line of text with a font, from the view's origin:
/// the baseline lies the font's ascent below it, so that the glyphs fall
/// inside the view.
///
/// Reference-counted like every view (its root holds it while attached).
/// Holds a reference on its font and, from its first render on, on the
/// font's map. Used on the root's thread.
class StringView : public View {
public:
    StringView(const input::Rect& frame, const types::String& text);
    ~StringView() override;

    NEVRIK_CLASS_NAME(View, ":StringView")

    /// Draws the text in the colour with the font's map, made on the first
    /// render through the context's font cache. Draws nothing without a
    /// font or when the font gets no map. True.
    bool render() override;

    const types::String& getText() const noexcept { return mText; }
    void setText(const types::String& text) { mText = text; }
    freetype::Font* getFont() const noexcept { return mFont.get(); }
    /// A new font drops the map of the old one.
    void setFont(freetype::Font* font);
    FontMap* getFontMap() const noexcept { return mFontMap.get(); }
    /// Red, green, blue, alpha; (1, 1, 1, 0) at construction. Text is drawn
    /// in the colour's red, green and blue, with the glyphs' coverage as alpha.
    const float* getColour() const noexcept { return mColour; }
    void setColour(float red, float green, float blue, float alpha) noexcept;

private:
    types::String mText;
    object::Pointer<freetype::Font> mFont;
    object::Pointer<FontMap> mFontMap;
    float mColour[4] = {1.0f, 1.0f, 1.0f, 0.0f};
};

}  // namespace nevrik::gui3d
