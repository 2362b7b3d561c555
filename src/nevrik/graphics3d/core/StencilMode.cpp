#include "nevrik/graphics3d/core/StencilMode.h"

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/detail/StateCalls.h"

#include <GL/glew.h>

static_assert(nevrik::graphics3d::StencilMode::kKeep == GL_KEEP);

namespace nevrik::graphics3d {

StencilMode::~StencilMode() {
    Context::forgetCurrent(this);
}

template <class Calls>
void StencilMode::send(const Calls& calls) const {
    if (detail::setCapability(calls, GL_STENCIL_TEST, mFunction != -1)) {
        detail::send(calls, glStencilFunc, mFunction, mReference, mMask);
    }
    detail::send(calls, glStencilMask, mWriteMask);
    detail::send(calls, glStencilOp, mFailOperation, mDepthFailOperation, mPassOperation);
}

void StencilMode::apply() const {
    send(detail::ImmediateCalls());
}

void StencilMode::compile(system::Assembler& assembler) const {
    Context::compileRecord(assembler, Context::Record::CurrentStencilMode, this);
    send(detail::RecordedCalls{assembler});
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
