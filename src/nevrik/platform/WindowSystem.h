#pragma once

#include "nevrik/platform/PixelFormat.h"

#include <string>

namespace nevrik::platform {

/// Whether this process can show OpenGL windows and, when it cannot, what is
/// missing, in words for the user: asked once at start-up, so that a program
/// without a usable screen says why instead of failing somewhere deeper.
///
/// Stateless; any thread.
class WindowSystem {
public:
    /// Empty when the display that DISPLAY names opens, has OpenGL (GLX) and
    /// offers a window configuration with the bits of `format`; otherwise one
    /// sentence, without a final stop, naming the display and what it lacks.
    /// Opens and closes a connection of its own.
    static std::string checkOpenGL(const PixelFormat& format);
};

}  // namespace nevrik::platform
