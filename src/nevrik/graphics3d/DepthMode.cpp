#include "nevrik/graphics3d/DepthMode.h"

#include "nevrik/graphics3d/Context.h"
#include "nevrik/graphics3d/detail/Switch.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {

DepthMode::~DepthMode() {
    Context::forgetCurrent(this);
}

void DepthMode::apply() const {
    if (detail::setCapability(GL_DEPTH_TEST, mFunction != -1)) {
        glDepthFunc(static_cast<GLenum>(mFunction));
    }
    glDepthMask(mWriteMask != 0 ? GL_TRUE : GL_FALSE);
    glDepthRange(mRangeNear, mRangeFar);
}

void DepthMode::setRange(float nearValue, float farValue) noexcept {
    mRangeNear = nearValue;
    mRangeFar = farValue;
}

}  // namespace nevrik::graphics3d
