#include "nevrik/platform/WindowSystem.h"

#include "nevrik/platform/GlConfig.h"
#include "nevrik/platform/detail/XErrors.h"

#include <GL/glx.h>

#include <cstdlib>
#include <memory>

namespace nevrik::platform {

std::string WindowSystem::checkOpenGL(const PixelFormat& format) {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        return "No X display: DISPLAY is not set";
    }
    detail::XErrors::install();
    const std::unique_ptr<::Display, int (*)(::Display*)> display(XOpenDisplay(nullptr), &XCloseDisplay);
    const std::string quoted = std::string("\"") + name + "\"";
    if (!display) {
        return "Cannot open the X display " + quoted;
    }
    int errorBase = 0;
    int eventBase = 0;
    if (!glXQueryExtension(display.get(), &errorBase, &eventBase)) {
        return "The X display " + quoted + " has no OpenGL (its server lacks the GLX extension)";
    }
    GlConfig config;
    if (!config.choose(display.get(), format)) {
        return "The X display " + quoted + " offers no OpenGL window with " +
               std::to_string(format.colourBits) + " colour, " + std::to_string(format.alphaBits) +
               " alpha, " + std::to_string(format.depthBits) + " depth and " +
               std::to_string(format.stencilBits) + " stencil bits";
    }
    return {};
}

}  // namespace nevrik::platform
