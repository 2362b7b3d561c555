#include "nevrik/graphics3d/core/PolygonMode.h"

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/detail/StateCalls.h"

#include <GL/glew.h>

static_assert(nevrik::graphics3d::PolygonMode::kFill == GL_FILL);

namespace nevrik::graphics3d {

PolygonMode::~PolygonMode() {
    Context::forgetCurrent(this);
}

template <class Calls>
void PolygonMode::send(const Calls& calls) const {
    if (mFrontMode == mBackMode) {
        detail::send(calls, glPolygonMode, GL_FRONT_AND_BACK, mFrontMode);
    } else {
        detail::send(calls, glPolygonMode, GL_FRONT, mFrontMode);
        detail::send(calls, glPolygonMode, GL_BACK, mBackMode);
    }
    detail::send(calls, glPolygonOffset, mOffsetFactor, mOffsetUnits);
    if (detail::setCapability(calls, GL_CULL_FACE, mCull == kCullFront || mCull == kCullBack)) {
        detail::send(calls, glCullFace, mCull == kCullFront ? GL_FRONT : GL_BACK);
    }
}

void PolygonMode::apply() const {
    send(detail::ImmediateCalls());
}

void PolygonMode::compile(system::Assembler& assembler) const {
    Context::compileRecord(assembler, Context::Record::CurrentPolygonMode, this);
    send(detail::RecordedCalls{assembler});
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
