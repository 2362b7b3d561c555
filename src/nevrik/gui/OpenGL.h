#pragma once

#include "nevrik/gui/View.h"
#include "nevrik/platform/GlConfig.h"
#include "nevrik/platform/Palette.h"
#include "nevrik/platform/PixelFormat.h"
#include "nevrik/platform/WindowProcedure.h"

namespace nevrik::graphics3d {
class Context;
}

namespace nevrik::gui {

/// A view that renders with OpenGL: its child window gets a framebuffer
/// configuration from the requested bits and a rendering context, and every
/// repaint makes the context current, calls render() and swaps the buffers.
///
/// A view like any other (reference-counted, held by its window); the
/// rendering context lives from create() to destroy(), on the window's thread.
class OpenGL : public View {
public:
    explicit OpenGL(const input::Rect& frame);

    NEVRIK_CLASS_NAME(View, ":OpenGL")

    /// The child window with a configuration of at least the requested bits,
    /// a palette if the screen needs one, and a current rendering context
    /// whose viewport covers the view. False when no configuration fits or
    /// no context can be made; the child window then has none and is never
    /// rendered.
    bool create() override;
    /// Deletes the rendering context, then destroys the child window.
    bool destroy() override;
    /// Follows the new frame with the child window's size and the viewport.
    bool frameChanged(const input::Rect& frame) override;
    /// Draws one frame, with the context current; does nothing by default.
    virtual void render();

    /// The bits to ask for; create() replaces them with the actual ones.
    platform::PixelFormat& getPixelFormat() noexcept { return mFormat; }
    /// The rendering layer's context, null until created.
    graphics3d::Context* getGraphicsContext() const noexcept { return mGraphicsContext; }
    void* getRenderingContext() const noexcept { return mRenderingContext; }
    bool hasPalette() const noexcept { return mPalette.isCreated(); }

private:
    static long procedure(platform::NativeWindow& window, const platform::WindowMessage& message, void* user);

    void setViewport();
    void deleteRenderingContext();

    graphics3d::Context* mGraphicsContext = nullptr;
    platform::PixelFormat mFormat;
    void* mRenderingContext = nullptr;
    platform::Palette mPalette;
    platform::GlConfig mConfig;
    // The view procedure this one passes on to.
    platform::WindowProcedure mPrevious;
    // Mesa's software rasteriser draws the frames (no GPU).
    bool mSoftware = false;
};

}  // namespace nevrik::gui
