#pragma once

#include "nevrik/gui/OpenGL.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/system/Timer.h"

namespace nevrik::graphics3d {
class Context;
class MatrixStack;
}  // namespace nevrik::graphics3d

namespace nevrik::sample {

/// The sample's OpenGL view: on every repaint it clears to the sample's sky
/// colour and draws the axis indicator.
///
/// Reference-counted; the window holds it and the application keeps its own
/// reference. Creation, rendering and destruction happen on the window thread.
class SampleView : public gui::OpenGL {
public:
    static constexpr float kWidth = 600.0f;
    static constexpr float kHeight = 500.0f;
    /// Pixels from the lower right corner to the axis indicator's centre,
    /// and the length of an axis facing the viewer.
    static constexpr float kIndicatorInset = 32.0f;
    static constexpr float kIndicatorLength = 20.0f;

    /// A 600 × 500 view at the window's origin that asks for 24 colour,
    /// 8 alpha, 8 stencil and 24 depth bits.
    SampleView();

    /// Makes the child window and its rendering context, then sets the
    /// drawing state up. False when the rendering context cannot be made.
    bool create() override;
    /// Draws one frame.
    void render() override;

    /// The far end of the indicator's line for axis `row` (0 to 2) of
    /// `transform`'s rotation part, seen from `centre` in window pixels
    /// (y downwards): an oblique view in which z points down and to the right.
    static input::Point indicatorEnd(const math::Matrix4<float>& transform, int row, const input::Point& centre);

    graphics3d::Context* getRenderContext() const noexcept { return mRenderContext; }

private:
    // Three lines from the lower right corner along the rows of the
    // transform's rotation part: x red, y green, z blue.
    void drawAxisIndicator(const math::Matrix4<float>& transform);

    graphics3d::Context* mRenderContext = nullptr;
    graphics3d::MatrixStack* mMatrixStack = nullptr;
    system::Timer mTimer;
};

}  // namespace nevrik::sample
