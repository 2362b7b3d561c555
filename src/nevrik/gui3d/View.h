#pragma once

#include "nevrik/application/Handler.h"
#include "nevrik/container/Chainable.h"
#include "nevrik/graphics/Transform.h"
#include "nevrik/gui/Size.h"
#include "nevrik/gui/View.h"
#include "nevrik/input/Point.h"
#include "nevrik/input/Rect.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::gui3d {

class Context;
class Root;

/// A rectangle of a 3D GUI root, drawn with OpenGL over the scene, that
/// receives the root's mouse and keyboard input.
///
/// A handler: its root holds a reference on it while it is attached and
/// attaches it to the root's messenger, so that messages posted to it are
/// delivered by Root::deliverMessages(). Used only on the root's thread
/// (input and rendering).
class View : public application::Handler, public container::Chainable<View> {
public:
    /// Layout flags, those of window views: both bits of a direction
    /// stretch the view with the root; the second alone moves it.
    static constexpr std::uint32_t kStretchLeft = gui::View::kStretchLeft;
    static constexpr std::uint32_t kFollowRight = gui::View::kFollowRight;
    static constexpr std::uint32_t kStretchTop = gui::View::kStretchTop;
    static constexpr std::uint32_t kFollowBottom = gui::View::kFollowBottom;

    /// A view at `frame` (root pixels, y downwards), bounds (0, 0, width,
    /// height), identity transform, enabled.
    explicit View(const input::Rect& frame);
    ~View() override;

    NEVRIK_CLASS_NAME(application::Handler, ":View")

    /// Writes getSize() into `out` and returns it.
    virtual gui::Size& getSizeInto(gui::Size& out) const;
    /// Whether the view is showing: isVisible() by default.
    virtual bool isShowing() const;
    /// Hooks for subclasses that Root::broadcastFirst() and
    /// Root::broadcastSecond() call; true by default.
    virtual bool activate();
    virtual bool deactivate();
    /// Called after the view joined a root; true by default.
    virtual bool attached();
    /// Called before the view leaves its root; true by default.
    virtual bool detached();
    /// Hooks for subclasses that the engine never calls; true by default.
    virtual bool show();
    virtual bool hide();
    /// Draws the view through getContext(), with the model-view matrix
    /// mapping view coordinates to root pixels; true by default.
    virtual bool render();
    /// The frame changed (relayout()); true by default.
    virtual bool frameChanged(const input::Rect& frame);
    /// Width and height of the frame.
    virtual gui::Size getSize() const;
    /// Whether the view means to be seen; true by default.
    virtual bool isVisible() const;
    /// A hook for subclasses to bring their content up to date; the engine
    /// never calls it. True by default.
    virtual bool refresh();
    /// The view stopped being its root's focused view; true by default.
    virtual bool focusLost();
    /// Keyboard input while focused: Win32 virtual-key codes; false (not
    /// taken) by default.
    virtual bool keyDown(std::uint32_t key);
    virtual bool keyUp(std::uint32_t key);
    virtual bool character(std::uint32_t code, std::uint32_t modifiers);
    /// Mouse input while enabled and under the pointer; `position` is in
    /// view coordinates, `state` and `event` in the mouse listeners'
    /// encoding. False (not taken) by default.
    virtual bool mouseMoved(const input::Point& position, std::uint32_t state);
    virtual bool mouseButton(const input::Point& position, std::uint32_t event);
    virtual bool mouseEntered(const input::Point& position, std::uint32_t state);
    virtual bool mouseLeft();
    /// Recomputes the bounds from the frame through the inverse of the
    /// transform (a transform without inverse leaves them), then the window
    /// transform, then reports the frame through frameChanged().
    virtual void relayout();
    /// Recomputes the map from view coordinates to root pixels.
    virtual void updateWindowTransform();

    /// Whether root pixel `point` lies on the frame (edges included) of an
    /// enabled view.
    bool isUnder(const input::Point& point) const noexcept;
    /// Root pixel `point` in view coordinates, through the inverse of the
    /// transform placed at the frame; the frame-relative point itself when
    /// the transform has no inverse.
    input::Point toView(const input::Point& point) const noexcept;

    Root* getRoot() const noexcept { return mRoot; }
    View* getParent() const noexcept { return mParent; }
    /// The root's drawing context while attached, else null.
    Context* getContext() const noexcept { return mContext; }
    types::String getName() const override { return mName; }
    void setName(const types::String& name) { mName = name; }
    const input::Rect& getBounds() const noexcept { return mBounds; }
    const input::Rect& getFrame() const noexcept { return mFrame; }
    /// Stores the frame; relayout() applies it.
    void setFrame(const input::Rect& frame) noexcept { mFrame = frame; }
    const graphics::Transform<float>& getTransform() const noexcept { return mTransform; }
    /// Stores the map from view to frame coordinates; relayout() applies it.
    void setTransform(const graphics::Transform<float>& transform) noexcept { mTransform = transform; }
    const graphics::Transform<float>& getWindowTransform() const noexcept { return mWindowTransform; }
    std::uint32_t getLayoutFlags() const noexcept { return mLayoutFlags; }
    void setLayoutFlags(std::uint32_t flags) noexcept { mLayoutFlags = flags; }
    bool isEnabled() const noexcept { return mEnabled != 0; }
    /// A disabled view gets no mouse input.
    void setEnabled(bool enabled) noexcept { mEnabled = enabled ? 1 : 0; }

private:
    friend class Root;

    Root* mRoot = nullptr;
    View* mParent = nullptr;
    Context* mContext = nullptr;
    types::String mName;
    input::Rect mBounds;
    input::Rect mFrame;
    graphics::Transform<float> mTransform;
    graphics::Transform<float> mWindowTransform;
    std::uint32_t mLayoutFlags = 0;
    std::uint32_t mEnabled = 1;
};

}  // namespace nevrik::gui3d
