#pragma once

#include <GL/glew.h>

namespace nevrik::graphics3d::detail {

/// Turns an OpenGL capability on or off; returns `on`, so that the settings
/// that only matter while it is on can follow in one condition.
inline bool setCapability(GLenum capability, bool on) {
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
    return on;
}

}  // namespace nevrik::graphics3d::detail
