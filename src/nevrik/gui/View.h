#pragma once

#include "nevrik/application/Handler.h"
#include "nevrik/container/Chainable.h"
#include "nevrik/graphics/Transform.h"
#include "nevrik/gui/Context.h"
#include "nevrik/gui/Size.h"
#include "nevrik/input/Point.h"
#include "nevrik/input/Rect.h"
#include "nevrik/platform/NativeWindow.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::platform {
class GlConfig;
struct WindowMessage;
}  // namespace nevrik::platform

namespace nevrik::gui {

class Window;

/// A rectangle of a window with a native child window of its own, whose
/// events become calls of the view's operations.
///
/// A handler: a window holds a reference on each of its views and attaches
/// them to its messenger, so that their messages arrive on the window's
/// thread. The child window exists while the view's window is open; it is
/// made, painted and destroyed on the window's thread, which is the only
/// thread that may call the view's operations, except invalidate().
class View : public application::Handler, public container::Chainable<View> {
public:
    /// Layout flags: how the frame follows its window's resizes. Both bits
    /// of a direction stretch the view; the second alone moves it.
    static constexpr std::uint32_t kStretchLeft = 0x1;
    static constexpr std::uint32_t kFollowRight = 0x2;
    static constexpr std::uint32_t kStretchTop = 0x10;
    static constexpr std::uint32_t kFollowBottom = 0x20;
    /// Stretches with the window both ways: a view that fills it.
    static constexpr std::uint32_t kFill = kStretchLeft | kFollowRight | kStretchTop | kFollowBottom;

    /// A view occupying `frame` (in the window's client coordinates); its
    /// bounds are (0, 0, width, height) in its own.
    explicit View(const input::Rect& frame);
    ~View() override;

    NEVRIK_CLASS_NAME(application::Handler, ":View")

    /// Width and height of the frame.
    virtual Size getSize() const;
    /// Whether the view shows; always, here.
    virtual bool isVisible() const;
    /// Paints `area` of the view; true by default.
    virtual bool paint(Context& context, const input::Rect& area);
    /// Makes the child window (in the parent view's, or else the window's).
    /// False when the view has no open window or the window system refuses.
    virtual bool create();
    /// Destroys the child window; false when there is none.
    virtual bool destroy();
    /// The window gained (lost) activation; true by default.
    virtual bool activate();
    virtual bool deactivate();
    /// The child window moved or changed size; `frame` is the new frame.
    virtual bool frameChanged(const input::Rect& frame);
    /// A hook for subclasses to bring their content up to date; the engine
    /// never calls it. True by default.
    virtual bool refresh();
    /// The view stopped being its window's focused view; true by default.
    virtual bool focusLost();
    virtual bool keyDown(std::uint32_t key);
    virtual bool keyUp(std::uint32_t key);
    virtual bool character(std::uint32_t code, std::uint32_t modifiers);
    /// `state` carries a held or released bit for each button, and the
    /// shift and control bits.
    virtual bool mouseMoved(const input::Point& position, std::uint32_t state);
    /// `event` is the held (pressed) or released bit of one button.
    virtual bool mouseButton(const input::Point& position, std::uint32_t event);
    virtual bool mouseEntered(const input::Point& position, std::uint32_t state);
    virtual bool mouseLeft();
    /// `delta` is +120 a notch away from the user; false by default.
    virtual bool mouseWheel(float delta, std::uint32_t state);
    /// Recomputes the map from view to window client coordinates.
    virtual void updateWindowTransform();

    /// Asks for a repaint of the whole view; any thread. False when the view
    /// has no child window.
    bool invalidate();
    /// Brings the bounds and the window transform in line with the frame,
    /// then moves the child window there, or, without one, reports the frame
    /// through frameChanged().
    void relayout();

    Window* getWindow() const noexcept { return mWindow; }
    View* getParent() const noexcept { return mParent; }
    Context& getContext() noexcept { return mContext; }
    const input::Rect& getBounds() const noexcept { return mBounds; }
    const input::Rect& getFrame() const noexcept { return mFrame; }
    /// Stores the frame; relayout() applies it.
    void setFrame(const input::Rect& frame) noexcept { mFrame = frame; }
    std::uint32_t getLayoutFlags() const noexcept { return mLayoutFlags; }
    void setLayoutFlags(std::uint32_t flags) noexcept { mLayoutFlags = flags; }
    types::String getName() const override { return mName; }
    void setName(const types::String& name) { mName = name; }
    const graphics::Transform<float>& getTransform() const noexcept { return mTransform; }
    /// Stores the map from view to frame coordinates; relayout() applies it.
    void setTransform(const graphics::Transform<float>& transform) noexcept { mTransform = transform; }
    const graphics::Transform<float>& getWindowTransform() const noexcept { return mWindowTransform; }
    platform::NativeWindow& getNativeWindow() noexcept { return mNative; }
    bool isTracking() const noexcept { return mTracking; }

protected:
    /// create() with a window-system configuration for OpenGL (null for
    /// none): the child window then gets that configuration's visual.
    bool createChild(const platform::GlConfig* config);
    /// The size of the bounds as the transform maps it.
    Size getTransformedSize() const noexcept;

    /// The view's window procedure; subclasses that take over the child
    /// window pass it what they leave.
    static long procedure(platform::NativeWindow& window, const platform::WindowMessage& message, void* user);

private:
    friend class Window;

    // The child window's rectangle in its parent: the bounds through the
    // transform, placed at the frame.
    input::Rect getChildRect() const noexcept;

    Window* mWindow = nullptr;
    View* mParent = nullptr;
    Context mContext;
    input::Rect mBounds;
    input::Rect mFrame;
    std::uint32_t mLayoutFlags = 0;
    types::String mName;
    graphics::Transform<float> mTransform;
    graphics::Transform<float> mWindowTransform;
    platform::NativeWindow mNative;
    void* mDeviceContext = nullptr;
    bool mTracking = false;
};

}  // namespace nevrik::gui
