#include "nevrik/gui/OpenGL.h"

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/gui/Window.h"
#include "nevrik/platform/GlContext.h"
#include "nevrik/platform/ServerHold.h"
#include "nevrik/platform/WindowMessage.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstring>

namespace nevrik::gui {

OpenGL::OpenGL(const input::Rect& frame) : View(frame) {}

bool OpenGL::create() {
    Window* window = getWindow();
    if (window == nullptr || !window->isOpen() || getNativeWindow().isCreated()) {
        return false;
    }
    platform::GlConfig config;
    if (!config.choose(window->getNativeWindow(), mFormat)) {
        // The view shows, but never renders.
        View::create();
        return false;
    }
    if (!createChild(&config)) {
        return false;
    }
    platform::NativeWindow& native = getNativeWindow();
    mConfig = config;
    mFormat = config.getActual();
    mPrevious = native.setProcedure(platform::WindowProcedure{&OpenGL::procedure, this});
    if (config.needsPalette()) {
        const auto entries = platform::Palette::forConfig(config, platform::Palette::systemEntries(native));
        if (mPalette.create(native, entries.data(), static_cast<int>(entries.size()))) {
            mPalette.realize();
        }
    }
    mRenderingContext = platform::GlContext::create(native, config);
    if (mRenderingContext == nullptr) {
        return false;
    }
    if (!platform::GlContext::makeCurrent({native.getConnection(), native.getId(), mRenderingContext})) {
        deleteRenderingContext();
        return false;
    }
    setViewport();
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    mSoftware = renderer != nullptr &&
                (std::strstr(renderer, "llvmpipe") != nullptr ||
                 std::strstr(renderer, "softpipe") != nullptr || std::strstr(renderer, "swrast") != nullptr);
    mGraphicsContext = graphics3d::Context::current();
    return true;
}

bool OpenGL::destroy() {
    if (mGraphicsContext != nullptr) {
        // The context object forgets the rendering context, which goes with
        // the view: a later context may get the same handle.
        mGraphicsContext->dispose();
        mGraphicsContext = nullptr;
    }
    deleteRenderingContext();
    mPalette.destroy();
    View::destroy();
    return true;
}

bool OpenGL::frameChanged(const input::Rect& frame) {
    if (mGraphicsContext != nullptr && mGraphicsContext->makeCurrent()) {
        platform::NativeWindow& native = getNativeWindow();
        const int width = std::max(1, static_cast<int>(frame.width));
        const int height = std::max(1, static_cast<int>(frame.height));
        // The child window's own Size reports a size it has already: asking
        // for it again would answer each resize of a burst with one more,
        // late ones undoing newer ones, for ever.
        if (width != native.getWidth() || height != native.getHeight()) {
            native.setClientSize(width, height);
        }
        setViewport();
    }
    return true;
}

void OpenGL::render() {}

long OpenGL::procedure(platform::NativeWindow& window, const platform::WindowMessage& message, void* user) {
    auto& view = *static_cast<OpenGL*>(user);
    if (message.type != platform::WindowMessage::Type::Paint) {
        return view.mPrevious(window, message);
    }
    // Nothing is drawn into a window another program destroyed.
    Window* top = view.getWindow();
    if (window.isLost() || (top != nullptr && top->getNativeWindow().isLost())) {
        return 0;
    }
    // Mesa's software rasteriser sizes its frame by a query that leaves
    // garbage once the window has gone, then copies that many pixels: if
    // another program destroys the window during a frame, the copy crashes.
    // Its frames are drawn with the server held, from a check that the window
    // is still there to the swap.
    void* connection = window.getConnection();
    const platform::ServerHold hold(view.mSoftware ? connection : nullptr);
    int width = 0;
    int height = 0;
    if (view.mSoftware && !platform::GlContext::getDrawableSize(connection, window.getId(), width, height)) {
        return 0;
    }
    if (view.mGraphicsContext != nullptr && view.mGraphicsContext->makeCurrent()) {
        view.render();
        platform::GlContext::swapBuffers(connection, window.getId());
    }
    return 0;
}

void OpenGL::setViewport() {
    const Size size = getTransformedSize();
    glViewport(0, 0, static_cast<GLsizei>(size.width), static_cast<GLsizei>(size.height));
}

void OpenGL::deleteRenderingContext() {
    if (mRenderingContext != nullptr) {
        const platform::NativeWindow& native = getNativeWindow();
        platform::GlContext::makeCurrent({native.getConnection(), 0, nullptr});
        platform::GlContext::destroy(native.getConnection(), mRenderingContext);
        mRenderingContext = nullptr;
    }
}

}  // namespace nevrik::gui
