#include "nevrik/gui3d/Context.h"

#include "nevrik/graphics3d/core/Colours.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/MatrixStack.h"
#include "nevrik/graphics3d/core/Texture2D.h"
#include "nevrik/object/Exception.h"

#include <GL/glew.h>

#include <cmath>

namespace nevrik::gui3d {
namespace {

// Checked before any member is built from it.
graphics3d::Context* required(graphics3d::Context* graphicsContext) {
    if (graphicsContext == nullptr) {
        throw object::Exception("gui3d::Context: no rendering context");
    }
    return graphicsContext;
}

}  // namespace

Context::Context(graphics3d::Context* graphicsContext)
    : mGraphicsContext(required(graphicsContext)), mMatrixStack(&graphicsContext->getMatrixStack()) {}

Context::~Context() = default;

void Context::begin() {
    graphics3d::Context& graphicsContext = *mGraphicsContext;
    // Everything below changes OpenGL behind the state objects' backs.
    graphicsContext.forgetStates();
    graphicsContext.releaseShaderAndArrays();
    mBatch = kNoBatch;
    mWidth = graphicsContext.getSize()[0];
    mHeight = graphicsContext.getSize()[1];

    mMatrixStack->push(GL_PROJECTION);
    glOrtho(0.0, mWidth, mHeight, 0.0, -1.0, 1.0);
    mMatrixStack->push(GL_TEXTURE0);
    mMatrixStack->push(GL_MODELVIEW);

    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    // Text binds unit 0; whatever the scene left active there must not texture it.
    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_3D);
    glDisable(GL_TEXTURE_CUBE_MAP);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, mWidth, mHeight);
    glShadeModel(GL_FLAT);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void Context::end() {
    endBatch();
    glDisable(GL_SCISSOR_TEST);
    glShadeModel(GL_SMOOTH);
    // With depth writes off, the next frame's glClear would leave the depth
    // buffer as it is; the scene's depth mode is re-applied anyway, since
    // begin() made the context forget it.
    glDepthMask(GL_TRUE);
    mMatrixStack->pop(GL_MODELVIEW);
    mMatrixStack->pop(GL_TEXTURE0);
    mMatrixStack->pop(GL_PROJECTION);
}

void Context::endBatch() {
    if (mBatch == kNoBatch) {
        return;
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    mBatch = kNoBatch;
}

bool Context::drawText(const input::Point& position, const types::String& text) {
    FontMap* fontMap = mCurrentFontMap.get();
    if (fontMap == nullptr) {
        return false;
    }
    if (mBatch != kTextBatch) {
        endBatch();
        graphics3d::Texture2D* texture = fontMap->getTexture();
        mGraphicsContext->bindTexture(0, texture, GL_TEXTURE_2D, texture->getTextureName());
        glActiveTexture(GL_TEXTURE0);
        glEnable(GL_TEXTURE_2D);
        glColor3f(mColour[0], mColour[1], mColour[2]);
        glEnable(GL_BLEND);
        glBegin(GL_QUADS);
        mBatch = kTextBatch;
    }
    const float y = position.y;
    float pen = position.x;
    const char* bytes = text.c_str();
    for (std::uint32_t i = 0; i < text.getLength(); ++i) {
        const FontMap::Glyph& glyph = fontMap->getGlyph(static_cast<unsigned char>(bytes[i]));
        // Whole pixels on the left keep glyphs sharp; the pen keeps the
        // fractions so that spacing does not drift.
        const float left = std::floor(pen + glyph.left);
        const float right = left + glyph.width;
        const float top = y - glyph.top;
        const float bottom = y + glyph.bottom;
        glTexCoord2f(glyph.s0, glyph.t0);
        glVertex2f(left, top);
        glTexCoord2f(glyph.s1, glyph.t0);
        glVertex2f(right, top);
        glTexCoord2f(glyph.s1, glyph.t1);
        glVertex2f(right, bottom);
        glTexCoord2f(glyph.s0, glyph.t1);
        glVertex2f(left, bottom);
        pen += glyph.advance;
    }
    return false;
}

void Context::fillRect(const input::Rect& rect) {
    if (mBatch != kQuadBatch) {
        endBatch();
        glColor4f(mColour[0], mColour[1], mColour[2], mColour[3]);
        glEnable(GL_BLEND);
        glBegin(GL_QUADS);
        mBatch = kQuadBatch;
    }
    glVertex2f(rect.x, rect.y);
    glVertex2f(rect.x + rect.width, rect.y);
    glVertex2f(rect.x + rect.width, rect.y + rect.height);
    glVertex2f(rect.x, rect.y + rect.height);
}

void Context::setCurrentFontMap(FontMap* fontMap) {
    if (fontMap != mCurrentFontMap.get() && mBatch == kTextBatch) {
        endBatch();
    }
    mCurrentFontMap.reset(fontMap);
}

void Context::setColour(float red, float green, float blue, float alpha) noexcept {
    graphics3d::setColour(mColour, red, green, blue, alpha);
}

}  // namespace nevrik::gui3d
