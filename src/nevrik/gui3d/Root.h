#pragma once

#include "nevrik/application/MessageQueue.h"
#include "nevrik/application/Messenger.h"
#include "nevrik/container/Chain.h"
#include "nevrik/gui/Size.h"
#include "nevrik/gui3d/Context.h"
#include "nevrik/gui3d/View.h"
#include "nevrik/input/Point.h"
#include "nevrik/platform/WindowProcedure.h"
#include "nevrik/system/Mutex.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::graphics3d {
class Context;
}

namespace nevrik::platform {
class NativeWindow;
struct WindowMessage;
}  // namespace nevrik::platform

namespace nevrik::gui3d {

/// The 3D GUI of one OpenGL view: takes over the procedure of the view's
/// child window, lays out its views in pixels, routes keyboard and mouse
/// input to them, keeps the messages posted to it and its views until the
/// rendering thread delivers them, and renders the views after the scene.
///
/// Made on the thread whose rendering context draws the view (its window's
/// thread), once that context exists, and destroyed there before the child
/// window goes; it gives the window its previous procedure back. The messenger
/// delivers on that thread, so messages may be posted from any thread; every
/// other operation belongs to that thread. Holds a reference on each view.
class Root : public application::Messenger {
public:
    /// The GUI of the window that `graphicsContext` draws into (found among
    /// the calling thread's windows), sized like that window's framebuffer.
    /// Installs the full input procedure when `takeInput` is true, else the
    /// one that only follows resizes. Throws object::Exception for a null
    /// context. A window of another thread, or one that another root has
    /// taken over, leaves the root without a window (no procedure installed).
    Root(graphics3d::Context* graphicsContext, bool takeInput);
    /// Removes every view, stops delivering and restores the window's
    /// previous procedure.
    ~Root() override;

    NEVRIK_CLASS_NAME(application::Messenger, ":Root")

    /// Installs the full input procedure, with the pointer taken as outside.
    void takeInput();

    /// Attaches `view`, taking a reference, and calls its attached(). False,
    /// changing nothing, for null and for a view that has a root or a parent.
    bool addView(View* view);
    /// Takes away its focus and hover, calls its detached() and detaches it,
    /// dropping the reference (which may destroy it). False, changing
    /// nothing, unless `view` is attached here without a parent.
    bool removeView(View* view);
    /// Gives the keyboard to `view` (null for none); the view losing it hears
    /// focusLost(). False, changing nothing, for a view not attached here.
    bool setFocusedView(View* view);

    /// Delivers the waiting messages in order, one at a time, each through
    /// its target's onMessage(); messages posted meanwhile are delivered too.
    void deliverMessages();
    /// Draws every view in chain order through the drawing context, each
    /// clipped to its frame within the root's size. Call after the scene,
    /// with the context current.
    void render();

    /// Follows a new size: views with layout flags move or stretch by the
    /// change since the last layout and are laid out again.
    virtual bool resized(const gui::Size& size);
    /// Call View::activate() (deactivate()) on every view; true.
    virtual bool broadcastFirst();
    virtual bool broadcastSecond();
    /// Keys that no focused view takes; true by default.
    virtual bool keyDown(std::uint32_t key);
    virtual bool keyUp(std::uint32_t key);
    virtual bool character(std::uint32_t code, std::uint32_t modifiers);
    /// Offers the move to the enabled views under `position` (root pixels)
    /// in chain order, keeping the hovered view up to date (leave before
    /// enter before move); true when a view took it.
    virtual bool mouseMoved(const input::Point& position, std::uint32_t state);
    /// Offers the button event to the enabled views under `position`; true
    /// when one took it.
    virtual bool mouseButton(const input::Point& position, std::uint32_t event);
    /// `delta` is +120 a notch away from the user; false by default.
    virtual bool mouseWheel(float delta, std::uint32_t state);
    /// The pointer came into the window: the enabled views under it hear
    /// mouseEntered() until one takes it; true.
    virtual bool mouseEntered(const input::Point& position, std::uint32_t state);
    /// The pointer left the window: the hovered view hears mouseLeft(); true.
    virtual bool mouseLeft();

    /// Put the message on the root's own queue (false, releasing it, when it
    /// cannot be queued); nothing is woken: deliverMessages() drains it.
    bool queueFront(object::Pointer<application::Message> message) override;
    bool queueBack(object::Pointer<application::Message> message) override;
    /// False: the root delivers on the thread that renders.
    bool ownsThread() const override;

    types::String getName() const override { return mName; }
    void setName(const types::String& name) { mName = name; }
    const gui::Size& getSize() const noexcept { return mSize; }
    const gui::Size& getLastSize() const noexcept { return mLastSize; }
    Context& getContext() noexcept { return mContext; }
    const container::Chain<View>& getViews() const noexcept { return mViews; }
    View* getFocusedView() const noexcept { return mFocusedView; }
    View* getHoveredView() const noexcept { return mHoveredView; }
    /// The child window taken over, or null (none found, or destroyed since).
    platform::NativeWindow* getWindow() const noexcept { return mWindow; }
    void* getDeviceContext() const noexcept { return mDeviceContext; }
    const platform::WindowProcedure& getPreviousProcedure() const noexcept { return mPreviousProcedure; }
    bool isTracking() const noexcept { return mTracking; }
    /// Messages waiting for deliverMessages().
    int getQueuedCount() const;

private:
    static long inputProcedure(platform::NativeWindow& window, const platform::WindowMessage& message,
                               void* user);
    static long resizeProcedure(platform::NativeWindow& window, const platform::WindowMessage& message,
                                void* user);

    // Hands `message` to the procedure that was there before, or answers 0.
    long passOn(platform::NativeWindow& window, const platform::WindowMessage& message);
    // Installs `function` as the window's procedure, keeping the previous one.
    void install(platform::WindowProcedure::Function function);
    bool enqueue(object::Pointer<application::Message> message, bool front);
    // Tells the hovered view, if any, that the pointer left it, and clears it.
    void leaveHovered();
    // Makes `view` the hovered view, after leaveHovered(); returns what its
    // mouseEntered() answered.
    bool enter(View* view, const input::Point& position, std::uint32_t state);
    // Calls `operation` on every view; true.
    bool forEachView(bool (View::*operation)());

    types::String mName;
    gui::Size mSize;
    gui::Size mLastSize;
    Context mContext;
    container::Chain<View> mViews;
    View* mFocusedView = nullptr;
    View* mHoveredView = nullptr;
    application::MessageQueue mQueue;
    mutable system::Mutex mLock;
    platform::NativeWindow* mWindow = nullptr;
    void* mDeviceContext = nullptr;
    platform::WindowProcedure mPreviousProcedure;
    bool mTracking = false;
};

}  // namespace nevrik::gui3d
