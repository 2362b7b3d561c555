#include "nevrik/platform/GlConfig.h"

#include "nevrik/platform/NativeWindow.h"

#include <GL/glx.h>

namespace nevrik::platform {
namespace {

int attribute(::Display* display, GLXFBConfig config, int name) {
    int value = 0;
    glXGetFBConfigAttrib(display, config, name, &value);
    return value;
}

}  // namespace

bool GlConfig::choose(const NativeWindow& window, const PixelFormat& requested) {
    return choose(window.getConnection(), requested);
}

bool GlConfig::choose(void* connection, const PixelFormat& requested) {
    auto* display = static_cast<::Display*>(connection);
    if (display == nullptr) {
        return false;
    }
    // GLX asks for accumulation bits per channel; the request counts all four.
    const int accum = requested.accumBits > 0 ? (requested.accumBits + 3) / 4 : 0;
    const int wanted[] = {GLX_X_RENDERABLE,
                          True,
                          GLX_DRAWABLE_TYPE,
                          GLX_WINDOW_BIT,
                          GLX_RENDER_TYPE,
                          GLX_RGBA_BIT,
                          GLX_DOUBLEBUFFER,
                          True,
                          GLX_BUFFER_SIZE,
                          requested.colourBits,
                          GLX_ALPHA_SIZE,
                          requested.alphaBits,
                          GLX_DEPTH_SIZE,
                          requested.depthBits,
                          GLX_STENCIL_SIZE,
                          requested.stencilBits,
                          GLX_ACCUM_RED_SIZE,
                          accum,
                          GLX_ACCUM_GREEN_SIZE,
                          accum,
                          GLX_ACCUM_BLUE_SIZE,
                          accum,
                          GLX_ACCUM_ALPHA_SIZE,
                          accum,
                          GLX_AUX_BUFFERS,
                          requested.auxBuffers,
                          None};
    const int screen = DefaultScreen(display);
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, screen, wanted, &count);
    if (configs == nullptr) {
        return false;
    }
    // Best match first; among those, prefer the screen's own depth, whose
    // windows need no conversion.
    GLXFBConfig chosen = nullptr;
    for (int i = 0; i < count && chosen == nullptr; ++i) {
        XVisualInfo* info = glXGetVisualFromFBConfig(display, configs[i]);
        if (info != nullptr && info->depth == DefaultDepth(display, screen)) {
            chosen = configs[i];
        }
        if (info != nullptr) {
            XFree(info);
        }
    }
    if (chosen == nullptr && count > 0) {
        chosen = configs[0];
    }
    XFree(configs);
    if (chosen == nullptr) {
        return false;
    }
    mConfig = chosen;
    mActual.colourBits = attribute(display, chosen, GLX_BUFFER_SIZE);
    mActual.alphaBits = attribute(display, chosen, GLX_ALPHA_SIZE);
    mActual.depthBits = attribute(display, chosen, GLX_DEPTH_SIZE);
    mActual.stencilBits = attribute(display, chosen, GLX_STENCIL_SIZE);
    mActual.accumBits =
        attribute(display, chosen, GLX_ACCUM_RED_SIZE) + attribute(display, chosen, GLX_ACCUM_GREEN_SIZE) +
        attribute(display, chosen, GLX_ACCUM_BLUE_SIZE) + attribute(display, chosen, GLX_ACCUM_ALPHA_SIZE);
    mActual.auxBuffers = attribute(display, chosen, GLX_AUX_BUFFERS);
    mRedBits = attribute(display, chosen, GLX_RED_SIZE);
    mGreenBits = attribute(display, chosen, GLX_GREEN_SIZE);
    mBlueBits = attribute(display, chosen, GLX_BLUE_SIZE);
    mColourIndex = (attribute(display, chosen, GLX_RENDER_TYPE) & GLX_RGBA_BIT) == 0;
    const int visualType = attribute(display, chosen, GLX_X_VISUAL_TYPE);
    mNeedsPalette = visualType == GLX_PSEUDO_COLOR || visualType == GLX_GRAY_SCALE;
    return true;
}

}  // namespace nevrik::platform
