#include "nevrik/graphics3d/core/BlendMode.h"

#include "nevrik/graphics3d/core/Colours.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/detail/StateCalls.h"

#include <GL/glew.h>

static_assert(nevrik::graphics3d::BlendMode::kOne == GL_ONE &&
              nevrik::graphics3d::BlendMode::kZero == GL_ZERO &&
              nevrik::graphics3d::BlendMode::kFunctionAdd == GL_FUNC_ADD);

namespace nevrik::graphics3d {

BlendMode::~BlendMode() {
    Context::forgetCurrent(this);
}

template <class Calls>
void BlendMode::send(const Calls& calls) const {
    if (detail::setCapability(calls, GL_BLEND, !isOpaque())) {
        detail::send(calls, glBlendFunc, mSource, mDestination);
        if (glBlendEquationEXT != nullptr) {
            detail::send(calls, glBlendEquationEXT, mEquation);
        }
        // The constant-colour factors start at GL_CONSTANT_COLOR.
        if (glBlendColorEXT != nullptr &&
            (mSource >= GL_CONSTANT_COLOR || mDestination >= GL_CONSTANT_COLOR)) {
            detail::send(calls, glBlendColorEXT, mColour[0], mColour[1], mColour[2], mColour[3]);
        }
    }
    if (detail::setCapability(calls, GL_ALPHA_TEST, mAlphaFunction != -1)) {
        detail::send(calls, glAlphaFunc, mAlphaFunction, mAlphaReference);
    }
}

void BlendMode::apply() const {
    send(detail::ImmediateCalls());
}

void BlendMode::compile(system::Assembler& assembler) const {
    Context::compileRecord(assembler, Context::Record::CurrentBlendMode, this);
    send(detail::RecordedCalls{assembler});
}

bool BlendMode::isOpaque() const noexcept {
    return mSource == GL_ONE && mDestination == GL_ZERO;
}

void BlendMode::setFunction(std::uint32_t source, std::uint32_t destination) noexcept {
    mSource = source;
    mDestination = destination;
}

void BlendMode::setColour(float red, float green, float blue, float alpha) noexcept {
    graphics3d::setColour(mColour, red, green, blue, alpha);
}

void BlendMode::setAlphaTest(std::int32_t function, float reference) noexcept {
    mAlphaFunction = function;
    mAlphaReference = reference;
}

}  // namespace nevrik::graphics3d
