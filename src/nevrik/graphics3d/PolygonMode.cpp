#include "nevrik/graphics3d/PolygonMode.h"

#include "nevrik/graphics3d/Context.h"
#include "nevrik/graphics3d/detail/Switch.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {

PolygonMode::~PolygonMode() {
    Context::forgetCurrent(this);
}

void PolygonMode::apply() const {
    if (mFrontMode == mBackMode) {
        glPolygonMode(GL_FRONT_AND_BACK, mFrontMode);
    } else {
        glPolygonMode(GL_FRONT, mFrontMode);
        glPolygonMode(GL_BACK, mBackMode);
    }
    glPolygonOffset(mOffsetFactor, mOffsetUnits);
    if (detail::setCapability(GL_CULL_FACE, mCull == kCullFront || mCull == kCullBack)) {
        glCullFace(mCull == kCullFront ? GL_FRONT : GL_BACK);
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
