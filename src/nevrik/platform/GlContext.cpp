#include "nevrik/platform/GlContext.h"

#include "nevrik/platform/GlConfig.h"
#include "nevrik/platform/NativeWindow.h"
#include "nevrik/platform/detail/XErrors.h"

#include <GL/glx.h>

namespace nevrik::platform {

void* GlContext::create(const NativeWindow& window, const GlConfig& config) {
    auto* display = static_cast<::Display*>(window.getConnection());
    if (display == nullptr || !config.isChosen()) {
        return nullptr;
    }
    detail::XErrors errors(display);
    GLXContext context = glXCreateNewContext(display, static_cast<GLXFBConfig>(config.getHandle()),
                                             GLX_RGBA_TYPE, nullptr, True);
    if (context != nullptr && errors.occurred()) {
        glXDestroyContext(display, context);
        return nullptr;
    }
    return context;
}

void GlContext::destroy(void* display, void* context) {
    if (display == nullptr || context == nullptr) {
        return;
    }
    auto* connection = static_cast<::Display*>(display);
    if (glXGetCurrentContext() == static_cast<GLXContext>(context)) {
        glXMakeCurrent(connection, None, nullptr);
    }
    glXDestroyContext(connection, static_cast<GLXContext>(context));
}

bool GlContext::makeCurrent(const Binding& binding) {
    if (binding.display == nullptr) {
        return false;
    }
    auto* display = static_cast<::Display*>(binding.display);
    detail::XErrors errors(display);
    const Bool done = glXMakeCurrent(display, binding.context != nullptr ? binding.drawable : None,
                                     static_cast<GLXContext>(binding.context));
    return done == True && !errors.occurred();
}

GlContext::Binding GlContext::current() {
    Binding binding;
    binding.context = glXGetCurrentContext();
    if (binding.context != nullptr) {
        binding.display = glXGetCurrentDisplay();
        binding.drawable = glXGetCurrentDrawable();
    }
    return binding;
}

void GlContext::swapBuffers(void* display, std::uintptr_t drawable) {
    if (display != nullptr && drawable != 0) {
        glXSwapBuffers(static_cast<::Display*>(display), drawable);
    }
}

bool GlContext::getDrawableSize(void* display, std::uintptr_t drawable, int& width, int& height) {
    if (display == nullptr || drawable == 0) {
        return false;
    }
    auto* connection = static_cast<::Display*>(display);
    detail::XErrors errors(connection);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(connection, drawable, &attributes) == 0 || errors.occurred()) {
        return false;
    }
    width = attributes.width;
    height = attributes.height;
    return true;
}

}  // namespace nevrik::platform
