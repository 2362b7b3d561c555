#pragma once

#include "nevrik/graphics3d/core/detail/GlCalls.h"

#include <GL/glew.h>

namespace nevrik::graphics3d::detail {

/// Calls `function` through the sink `calls` (ImmediateCalls or
/// RecordedCalls) with every argument converted to its parameter's type, so
/// that a recorded call passes floats, doubles and integers in the classes
/// the entry point expects.
template <class Calls, class R, class... Parameters, class... Arguments>
void send(const Calls& calls, R (*function)(Parameters...), Arguments... arguments) {
    static_assert(sizeof...(Parameters) == sizeof...(Arguments), "one argument per parameter");
    calls(function, static_cast<Parameters>(arguments)...);
}

/// Turns an OpenGL capability on or off through `calls`; returns `on`, so
/// that the settings that only matter while it is on can follow in one
/// condition.
template <class Calls>
bool setCapability(const Calls& calls, GLenum capability, bool on) {
    send(calls, on ? glEnable : glDisable, capability);
    return on;
}

}  // namespace nevrik::graphics3d::detail
