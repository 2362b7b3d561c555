#pragma once

#include "nevrik/platform/GlConfig.h"
#include "nevrik/platform/NativeWindow.h"
#include "nevrik/platform/PixelFormat.h"

namespace nevrik::platform {

/// A top-level window whose rendering context is current on the thread that
/// opened it: the short way to a place to draw for programs that run their
/// own loop (events arrive through WindowEvents::dispatch()).
///
/// Held by value; used only by the thread that opened it.
class GlWindow {
public:
    /// What open() asks for unless told otherwise: 32-bit colour and a 24-bit
    /// depth buffer, since 3D drawing without one shows hidden faces.
    static constexpr PixelFormat kDefaultFormat{32, 0, 0, 0, 24, 0};

    GlWindow() = default;
    GlWindow(const GlWindow&) = delete;
    GlWindow& operator=(const GlWindow&) = delete;
    /// Closes the window if it is open.
    ~GlWindow();

    /// Chooses a configuration with at least the bits of `format` on this
    /// thread's X connection, makes a width x height window with it, makes a
    /// context for it current, and maps the window when `visible` (an
    /// unmapped one still renders into its back buffer). False, leaving
    /// nothing behind, when the window is open already, there is no X
    /// server, no configuration fits, the size is not positive or the
    /// context cannot be made current.
    bool open(const char* title, int width, int height, const PixelFormat& format = kDefaultFormat,
              bool visible = true);
    /// Releases and deletes the context, then destroys the window.
    void close();
    /// Shows the back buffer.
    void swapBuffers();

    bool isOpen() const noexcept { return mContext != nullptr; }
    NativeWindow& getWindow() noexcept { return mWindow; }
    /// The chosen configuration's bits.
    const PixelFormat& getFormat() const noexcept { return mConfig.getActual(); }
    void* getContext() const noexcept { return mContext; }

private:
    GlConfig mConfig;
    NativeWindow mWindow;
    void* mContext = nullptr;
};

}  // namespace nevrik::platform
