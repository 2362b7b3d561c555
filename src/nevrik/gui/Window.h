#pragma once

#include "nevrik/application/Looper.h"
#include "nevrik/container/Chain.h"
#include "nevrik/gui/Context.h"
#include "nevrik/gui/Size.h"
#include "nevrik/gui/View.h"
#include "nevrik/input/Point.h"
#include "nevrik/input/Rect.h"
#include "nevrik/platform/NativeWindow.h"
#include "nevrik/platform/Palette.h"
#include "nevrik/system/Signal.h"
#include "nevrik/types/String.h"

#include <atomic>
#include <cstdint>

namespace nevrik::platform {
struct WindowMessage;
}

namespace nevrik::gui {

/// A top-level window with views in it. The window is a looper: its thread
/// makes the native window, runs the window and view procedures, and makes,
/// paints and destroys the views.
///
/// Reference-counted; holds a reference on each of its views. open() and
/// close() come from any thread but the window's and return once the window
/// thread has done the work. Other threads reach the window through
/// messages, the setters and addView()/removeView(); everything else runs on
/// the window thread.
class Window : public application::Looper {
public:
    /// Window style bits, as getStyle() reports them.
    static constexpr std::uint32_t kStyleCaption = 0x00C00000u;
    static constexpr std::uint32_t kStyleSystemMenu = 0x00080000u;
    static constexpr std::uint32_t kStyleSizingFrame = 0x00040000u;
    static constexpr std::uint32_t kStyleMaximiseBox = 0x00010000u;
    /// Window style of a created window.
    static constexpr std::uint32_t kStyle =
        kStyleCaption | kStyleSystemMenu | kStyleSizingFrame | kStyleMaximiseBox;
    static constexpr int kPaletteEntries = 256;

    Window();
    /// Closes a window that is open and removes every view.
    ~Window() override;

    NEVRIK_CLASS_NAME(application::Looper, ":Window")

    /// Starts the window thread and makes the native window there; returns
    /// once it exists (the views follow on the window thread). False when
    /// the window runs or is open already, when called on the window thread,
    /// and when the native window cannot be made.
    bool open();
    /// Destroys the views' child windows and the native window on the window
    /// thread, then ends the thread. False when the window is not running or
    /// not open.
    bool close();
    /// The window thread exists and runs.
    bool isRunning() const;
    bool isOpen() const noexcept { return mOpen.load(std::memory_order_acquire); }

    void setTitle(const types::String& title);
    /// The client size. A closed window lays its views out at once; an open
    /// one asks the window system and lays out when the new size arrives.
    void setSize(float width, float height);
    /// Limits for the user's resizing, sent to the window manager.
    void setMinimumSize(float width, float height);
    void setMaximumSize(float width, float height);

    /// Adds `view`, taking a reference, and attaches it to this window's
    /// messenger; an open window makes its child window (on the window
    /// thread). False, changing nothing, for null, for a view of a window
    /// and for a nested view.
    bool addView(View* view);
    /// Removes `view`: its child window is destroyed (on the window thread,
    /// waited for), it leaves the messenger and the window drops its
    /// reference. False, changing nothing, unless it is a view of this
    /// window without a parent.
    bool removeView(View* view);
    /// Gives `view` the keyboard (null for none); the view that had it is
    /// told. False, changing nothing, for a view of another window. Window
    /// thread, or before the window opens.
    bool setFocusedView(View* view);

    bool onMessage(application::Message& message) override;

    /// The views were created with the window; calls create() of each. True.
    virtual bool opened();
    /// The window is closing; calls destroy() of each view. True.
    virtual bool closed();
    /// The close box; by default closes the window.
    virtual bool closeRequested();
    /// Another program destroyed the native window: nothing shows any more
    /// and no close box will come. By default closes the window, which
    /// destroys the views and ends the window thread.
    virtual bool lost();
    virtual bool activated();
    virtual bool deactivated();
    /// The client area moved to `position` on the screen.
    virtual bool moved(const input::Point& position);
    /// The client area has the size of `frame`: views with layout flags
    /// follow the change since the last resize.
    virtual bool resized(const input::Rect& frame);
    virtual bool paint(Context& context, const input::Rect& area);
    virtual bool keyDown(std::uint32_t key);
    virtual bool keyUp(std::uint32_t key);
    virtual bool character(std::uint32_t code, std::uint32_t modifiers);
    virtual bool mouseMoved(const input::Point& position, std::uint32_t state);
    virtual bool mouseButton(const input::Point& position, std::uint32_t event);
    /// Passed to the focused view; false without one.
    virtual bool mouseWheel(float delta, std::uint32_t state);

    const container::Chain<View>& getViews() const noexcept { return mViews; }
    const input::Rect& getFrame() const noexcept { return mFrame; }
    const input::Rect& getLastFrame() const noexcept { return mLastFrame; }
    const Size& getMinimumSize() const noexcept { return mMinimumSize; }
    const Size& getMaximumSize() const noexcept { return mMaximumSize; }
    const types::String& getTitle() const noexcept { return mTitle; }
    View* getFocusedView() const noexcept { return mFocusedView; }
    Context& getContext() noexcept { return mContext; }
    platform::NativeWindow& getNativeWindow() noexcept { return mNative; }
    std::uint32_t getStyle() const noexcept { return mStyle; }

protected:
    int getWaitDescriptor() const override;
    void dispatchPending() override;

private:
    // Window-thread requests of addView() and removeView() from other threads.
    static constexpr std::uint32_t kViewCreate = 0x70000010u;
    static constexpr std::uint32_t kViewDestroy = 0x70000011u;

    static long procedure(platform::NativeWindow& window, const platform::WindowMessage& message, void* user);

    bool createNative();
    bool destroyNative();
    bool onWindowThread() const;
    // Calls `operation` of every view in chain order; true.
    bool forEachView(bool (View::*operation)());
    // Sends `what` about `view` to the window thread.
    bool sendViewRequest(std::uint32_t what, View* view);
    void sendSizeHints();
    // addView() and removeView() on the window thread, or with it stopped.
    bool attachView(View* view);
    bool detachView(View* view);

    container::Chain<View> mViews;
    input::Rect mFrame;
    input::Rect mLastFrame;
    Size mMinimumSize{2.0f, 2.0f};
    Size mMaximumSize{4096.0f, 4096.0f};
    types::String mTitle;
    View* mFocusedView = nullptr;
    std::atomic<bool> mOpen{false};
    system::Signal mDone;
    Context mContext;
    platform::NativeWindow mNative;
    void* mDeviceContext = nullptr;
    std::uint32_t mStyle = 0;
    platform::Palette::Entry mPaletteEntries[kPaletteEntries];
    platform::Palette mPalette;
    // Set by the window thread when it has carried out a view request.
    system::Signal mViewDone;
    bool mViewResult = false;
};

}  // namespace nevrik::gui
