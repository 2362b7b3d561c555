#pragma once

#include <cstdint>

namespace nevrik::platform {

class GlConfig;
class NativeWindow;

/// The window system's OpenGL rendering contexts (GLX): making, binding,
/// swapping and deleting them, and asking which one is current.
///
/// Stateless; the handles it gives out are opaque. A context is used by one
/// thread at a time, on the connection of the window it was made for.
class GlContext {
public:
    /// A context bound to a drawable on a connection; all null for none.
    struct Binding {
        void* display = nullptr;
        std::uintptr_t drawable = 0;
        void* context = nullptr;
    };

    /// A new direct-rendering context (compatibility profile, so the
    /// fixed-function pipeline is there) for windows of `config`, on the
    /// connection of `window`. Null when the system refuses.
    static void* create(const NativeWindow& window, const GlConfig& config);
    /// Deletes `context`. A context current on this thread is released first.
    static void destroy(void* display, void* context);

    /// Binds the context to the drawable on the calling thread; false,
    /// changing nothing, when that fails. A binding without context releases
    /// the thread's current context on `display`.
    static bool makeCurrent(const Binding& binding);
    /// What is current on the calling thread.
    static Binding current();

    static void swapBuffers(void* display, std::uintptr_t drawable);

    /// The size of a window drawable, as the server has it now. False when
    /// the drawable does not exist.
    static bool getDrawableSize(void* display, std::uintptr_t drawable, int& width, int& height);
};

}  // namespace nevrik::platform
