#include "sample/SampleView.h"

#include "nevrik/graphics3d/Context.h"
#include "nevrik/graphics3d/DeferQueue.h"
#include "nevrik/graphics3d/MatrixStack.h"

#include <GL/glew.h>

namespace nevrik::sample {

SampleView::SampleView() : gui::OpenGL(input::Rect{0.0f, 0.0f, kWidth, kHeight}) {
    platform::PixelFormat& format = getPixelFormat();
    format.colourBits = 24;
    format.alphaBits = 8;
    format.stencilBits = 8;
    format.depthBits = 24;
}

bool SampleView::create() {
    if (!gui::OpenGL::create()) {
        return false;
    }
    mRenderContext = getGraphicsContext();
    if (mRenderContext == nullptr) {
        return false;
    }
    mMatrixStack = &mRenderContext->getMatrixStack();
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    const input::Rect& bounds = getBounds();
    const float targetHeight = static_cast<float>(mRenderContext->getSize()[1]);
    glViewport(static_cast<GLint>(bounds.x), static_cast<GLint>(targetHeight - bounds.y - bounds.height),
               static_cast<GLsizei>(bounds.width), static_cast<GLsizei>(bounds.height));
    mTimer.start(0);
    return true;
}

void SampleView::render() {
    if (mRenderContext == nullptr) {
        return;
    }
    graphics3d::Context& context = *mRenderContext;
    context.apply(context.getDefaultDepthMode());
    context.apply(context.getDefaultBlendMode());
    glClearColor(0.59f, 0.59f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    mMatrixStack->load(math::Matrix4<float>());
    drawAxisIndicator(math::Matrix4<float>());
    context.getDeferQueue().flush();
}

input::Point SampleView::indicatorEnd(const math::Matrix4<float>& transform, int row, const input::Point& centre) {
    const float x = transform(row, 0);
    const float y = transform(row, 1);
    const float z = transform(row, 2);
    return input::Point{centre.x + (z * 0.5f + x) * kIndicatorLength, centre.y - (y - z * 0.5f) * kIndicatorLength};
}

void SampleView::drawAxisIndicator(const math::Matrix4<float>& transform) {
    const gui::Size size = getSize();
    const input::Point centre{size.width - kIndicatorInset, size.height - kIndicatorInset};
    // Lighting and texturing would hide the line colours; the attribute
    // stack puts back exactly what the context has recorded.
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_POLYGON_BIT | GL_CURRENT_BIT);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    mMatrixStack->push(GL_PROJECTION);
    glOrtho(0.0, size.width, size.height, 0.0, -1.0, 1.0);
    mMatrixStack->push(GL_MODELVIEW);
    static constexpr float kColours[3][4] = {
        {1.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 1.0f, 1.0f}};
    glBegin(GL_LINES);
    for (int row = 0; row < 3; ++row) {
        const input::Point end = indicatorEnd(transform, row, centre);
        glColor4fv(kColours[row]);
        glVertex2f(centre.x, centre.y);
        glVertex2f(end.x, end.y);
    }
    glEnd();
    mMatrixStack->pop(GL_MODELVIEW);
    mMatrixStack->pop(GL_PROJECTION);
    glPopAttrib();
    graphics3d::Context& context = *mRenderContext;
    context.apply(context.getDefaultDepthMode());
    context.apply(context.getDefaultPolygonMode());
}

}  // namespace nevrik::sample
