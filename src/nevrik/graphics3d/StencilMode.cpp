#include "nevrik/graphics3d/StencilMode.h"

#include "nevrik/graphics3d/Context.h"
#include "nevrik/graphics3d/detail/Switch.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {

StencilMode::~StencilMode() {
    Context::forgetCurrent(this);
}

void StencilMode::apply() const {
    if (detail::setCapability(GL_STENCIL_TEST, mFunction != -1)) {
        glStencilFunc(static_cast<GLenum>(mFunction), mReference, mMask);
    }
    glStencilMask(mWriteMask);
    glStencilOp(mFailOperation, mDepthFailOperation, mPassOperation);
}

void StencilMode::setOperations(std::uint32_t fail, std::uint32_t depthFail, std::uint32_t pass) noexcept {
    mFailOperation = fail;
    mDepthFailOperation = depthFail;
    mPassOperation = pass;
}

void StencilMode::setFunction(std::int32_t function, std::int32_t reference, std::uint32_t mask) noexcept {
    mFunction = function;
    mReference = reference;
    mMask = mask;
}

}  // namespace nevrik::graphics3d
