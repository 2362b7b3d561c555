#include "nevrik/graphics3d/BlendMode.h"

#include "nevrik/graphics3d/Context.h"
#include "nevrik/graphics3d/detail/Switch.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {

BlendMode::~BlendMode() {
    Context::forgetCurrent(this);
}

void BlendMode::apply() const {
    if (detail::setCapability(GL_BLEND, !isOpaque())) {
        glBlendFunc(mSource, mDestination);
        if (glBlendEquationEXT != nullptr) {
            glBlendEquationEXT(mEquation);
        }
        // The constant-colour factors start at GL_CONSTANT_COLOR.
        if (glBlendColorEXT != nullptr &&
            (mSource >= GL_CONSTANT_COLOR || mDestination >= GL_CONSTANT_COLOR)) {
            glBlendColorEXT(mColour[0], mColour[1], mColour[2], mColour[3]);
        }
    }
    if (detail::setCapability(GL_ALPHA_TEST, mAlphaFunction != -1)) {
        glAlphaFunc(static_cast<GLenum>(mAlphaFunction), mAlphaReference);
    }
}

bool BlendMode::isOpaque() const noexcept {
    return mSource == GL_ONE && mDestination == GL_ZERO;
}

void BlendMode::setFunction(std::uint32_t source, std::uint32_t destination) noexcept {
    mSource = source;
    mDestination = destination;
}

void BlendMode::setColour(float red, float green, float blue, float alpha) noexcept {
    mColour[0] = red;
    mColour[1] = green;
    mColour[2] = blue;
    mColour[3] = alpha;
}

void BlendMode::setAlphaTest(std::int32_t function, float reference) noexcept {
    mAlphaFunction = function;
    mAlphaReference = reference;
}

}  // namespace nevrik::graphics3d
