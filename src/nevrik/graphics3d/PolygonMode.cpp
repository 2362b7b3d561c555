#include "nevrik/graphics3d/PolygonMode.h"

#include "nevrik/graphics3d/Context.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {

PolygonMode::~PolygonMode() { Context::forgetCurrent(this); }

void PolygonMode::apply() const {
    if (mFrontMode == mBackMode) {
        glPolygonMode(GL_FRONT_AND_BACK, mFrontMode);
    } else {
        glPolygonMode(GL_FRONT, mFrontMode);
        glPolygonMode(GL_BACK, mBackMode);
    }
    glPolygonOffset(mOffsetFactor, mOffsetUnits);
    if (mCull == kCullFront || mCull == kCullBack) {
        glEnable(GL_CULL_FACE);
        glCullFace(mCull == kCullFront ? GL_FRONT : GL_BACK);
    } else {
        glDisable(GL_CULL_FACE);
    }
}

void PolygonMode::setModes(std::uint32_t front, std::uint32_t back) noexcept {
    mFrontMode = front;
    mBackMode = back;
}

void PolygonMode::setOffset(float units, float factor) noexcept {
    mOffsetUnits = units;
    mOffsetFactor = factor;
}

}  // namespace nevrik::graphics3d
