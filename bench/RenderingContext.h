#pragma once

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/platform/GlConfig.h"
#include "nevrik/platform/GlContext.h"
#include "nevrik/platform/NativeWindow.h"
#include "nevrik/platform/PixelFormat.h"

namespace nevrik::bench {

/// The rendering context of a width × height window with a 16-bit depth
/// buffer, current on the calling thread; made by the first call (later
/// sizes are ignored) and kept for the whole program: the process ends with
/// the context current, which is how the driver is left safely. Null
/// without an X display or a rendering context.
inline graphics3d::Context* renderingContext(int width, int height) {
    static graphics3d::Context* sContext = [width, height]() -> graphics3d::Context* {
        // The pixel format is chosen on a plain window, then the drawing
        // window is made with it.
        auto* anchor = new platform::NativeWindow();
        auto* config = new platform::GlConfig();
        platform::PixelFormat format;
        format.depthBits = 16;
        if (!anchor->create(nullptr, 0, 0, 8, 8, "nevrik bench", nullptr, {}) ||
            !config->choose(*anchor, format)) {
            return nullptr;
        }
        auto* window = new platform::NativeWindow();
        if (!window->create(nullptr, 0, 0, width, height, "nevrik bench view", config, {})) {
            return nullptr;
        }
        void* rendering = platform::GlContext::create(*window, *config);
        if (rendering == nullptr ||
            !platform::GlContext::makeCurrent({window->getConnection(), window->getId(), rendering})) {
            return nullptr;
        }
        return graphics3d::Context::current();
    }();
    return sContext;
}

}  // namespace nevrik::bench
