#include "nevrik/graphics3d/core/DepthMode.h"

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/detail/StateCalls.h"

#include <GL/glew.h>

static_assert(nevrik::graphics3d::DepthMode::kLessOrEqual == GL_LEQUAL);

namespace nevrik::graphics3d {

DepthMode::~DepthMode() {
    Context::forgetCurrent(this);
}

template <class Calls>
void DepthMode::send(const Calls& calls) const {
    if (detail::setCapability(calls, GL_DEPTH_TEST, mFunction != -1)) {
        detail::send(calls, glDepthFunc, mFunction);
    }
    detail::send(calls, glDepthMask, mWriteMask);
    detail::send(calls, glDepthRange, mRangeNear, mRangeFar);
}

void DepthMode::apply() const {
    send(detail::ImmediateCalls());
}

void DepthMode::compile(system::Assembler& assembler) const {
    Context::compileRecord(assembler, Context::Record::CurrentDepthMode, this);
    send(detail::RecordedCalls{assembler});
}

void DepthMode::setRange(float nearValue, float farValue) noexcept {
    mRangeNear = nearValue;
    mRangeFar = farValue;
}

}  // namespace nevrik::graphics3d
