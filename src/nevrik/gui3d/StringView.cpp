#include "nevrik/gui3d/StringView.h"

#include "nevrik/freetype/Font.h"
#include "nevrik/graphics3d/core/Colours.h"
#include "nevrik/gui3d/Context.h"
#include "nevrik/gui3d/FontMap.h"

#include <GL/glew.h>

namespace nevrik::gui3d {

StringView::StringView(const input::Rect& frame, const types::String& text) : View(frame), mText(text) {}

StringView::~StringView() = default;

bool StringView::render() {
    Context* context = getContext();
    if (!mFont || context == nullptr) {
        return true;
    }
    if (!mFontMap) {
        mFontMap.reset(context->getFontCache().get(mFont.get()));
        if (!mFontMap) {
            return true;
        }
    }
    context->setColour(mColour[0], mColour[1], mColour[2], mColour[3]);
    glColor3f(mColour[0], mColour[1], mColour[2]);
    // A text batch of another view may be open, in another colour.
    context->endBatch();
    context->setCurrentFontMap(mFontMap.get());
    context->drawText({0.0f, mFontMap->getAscent()}, mText);
    return true;
}

void StringView::setFont(freetype::Font* font) {
    if (font != mFont.get()) {
        mFontMap.reset();
        mFont.reset(font);
    }
}

void StringView::setColour(float red, float green, float blue, float alpha) noexcept {
    graphics3d::setColour(mColour, red, green, blue, alpha);
}

}  // namespace nevrik::gui3d
