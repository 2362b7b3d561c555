#pragma once

#include "nevrik/platform/WindowProcedure.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace nevrik::platform {

class GlConfig;
struct WindowMessage;

namespace detail {
class XConnection;
}

/// A window of the window system: a top-level window or a child inside
/// another one, whose events reach its window procedure as WindowMessages.
///
/// Held by value by the engine object it shows (a gui window or view). The
/// thread that creates it owns it: the window's events are dispatched on that
/// thread while it waits on its ThreadQueue, and only that thread may destroy
/// it. Each owning thread has one connection to the X server, opened with its
/// first window and closed with its last. invalidate(), setTitle(),
/// setClientSize() and setFrame() may be called from any thread; from another
/// thread they are carried out by the owner the next time it dispatches.
class NativeWindow {
public:
    NativeWindow() = default;
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;
    /// Destroys the window if it still exists (owner thread only).
    ~NativeWindow();

    /// Makes the window, unmapped: a top-level window when `parent` is null
    /// (the window manager places it; x and y are ignored), else a child of
    /// `parent` at (x, y) in its client area. With `config` the window has
    /// that configuration's visual, so that OpenGL can draw into it. A
    /// top-level window asks the window manager for a close-box message.
    /// `procedure` receives Create before this returns. Returns false,
    /// changing nothing, when the window exists already, the parent does not
    /// exist or belongs to another thread, the size is not positive, or the
    /// X server refuses.
    bool create(NativeWindow* parent, int x, int y, int width, int height, const char* title,
                const GlConfig* config, const WindowProcedure& procedure);
    /// Sends Destroy and destroys the window; false when there is none or the
    /// caller is not the owning thread.
    bool destroy();

    /// Replaces the window procedure; returns the one it had, to pass on the
    /// messages the new one leaves and to put back later.
    WindowProcedure setProcedure(const WindowProcedure& procedure) noexcept;
    const WindowProcedure& getProcedure() const noexcept { return mProcedure; }
    /// The calling thread's window whose window-system id is `id` (the
    /// drawable a rendering context reports), so that a caller holding only
    /// the id can take over its procedure. Null for 0, for a window that no
    /// longer exists and for a window of another thread.
    static NativeWindow* find(std::uintptr_t id) noexcept;

    /// Maps the window (and, for a top-level window, raises it). Owner
    /// thread only; false elsewhere and when the window does not exist.
    bool show();
    void setTitle(const char* title);
    /// New client size, position unchanged.
    void setClientSize(int width, int height);
    /// New position in the parent's client area and new size.
    void setFrame(int x, int y, int width, int height);
    /// The sizes the window manager lets the user give a top-level window.
    /// Kept for the window's life; set before create() they go with it.
    void setSizeHints(int minimumWidth, int minimumHeight, int maximumWidth, int maximumHeight);

    /// Asks for a Paint of the whole client area from any thread. Requests
    /// coalesce: one Paint per pass of the owner's loop. False when the window
    /// does not exist.
    bool invalidate();

    /// The client area's origin on the screen and its size, as the server
    /// has them now. Owner thread only; false elsewhere and when the window
    /// does not exist.
    bool getScreenRect(int& x, int& y, int& width, int& height) const;

    /// The drawing state of the window (its own graphics context), made on
    /// first request and kept until releaseDeviceContext() or destroy().
    /// Owner thread only; null elsewhere, when the window does not exist or
    /// when the server refuses.
    void* acquireDeviceContext();
    void releaseDeviceContext();

    /// The screen shows colours through a writable colour map, so that
    /// windows have to load palettes. Owner thread only; false elsewhere.
    bool isPaletteDisplay() const;

    bool isCreated() const noexcept { return mOwner.load(std::memory_order_acquire) != 0; }
    /// The window system has destroyed the window behind the owner's back
    /// (it heard Lost): it no longer paints or takes requests, and waits
    /// for destroy(). Owner thread only.
    bool isLost() const noexcept { return mLost; }
    /// The client size last reported to the procedure (Create or Size).
    /// Owner thread only.
    int getWidth() const noexcept { return mWidth; }
    int getHeight() const noexcept { return mHeight; }
    /// The window system's id of the window; 0 when it does not exist.
    std::uintptr_t getId() const noexcept { return mId; }
    /// The owner's connection to the X server, for OpenGL; null when the
    /// window does not exist.
    void* getConnection() const noexcept;

private:
    friend class detail::XConnection;

    // Requests from other threads, carried out by the owner in dispatch.
    enum Request : unsigned { kTitle = 1, kSize = 2, kFrame = 4, kHints = 8 };

    // Sends `message` to the procedure; the answer goes nowhere on X.
    long deliver(const WindowMessage& message);
    bool isOwner() const noexcept;
    // Marks `request` (its values already stored) and carries it out now on
    // the owning thread, else at the owner's next dispatch.
    void request(unsigned request);
    // Stores a position (kFrame only) and size, then requests `which`.
    void requestGeometry(unsigned which, int x, int y, int width, int height);
    void wake();
    void applyRequests();

    WindowProcedure mProcedure;
    detail::XConnection* mConnection = nullptr;
    std::uintptr_t mId = 0;
    std::uintptr_t mColormap = 0;
    void* mDeviceContext = nullptr;
    bool mTopLevel = false;
    // Geometry last reported to the procedure.
    int mX = 0;
    int mY = 0;
    int mWidth = 0;
    int mHeight = 0;
    bool mActive = false;
    bool mLost = false;
    // Update area gathered from exposures since the last Paint.
    int mDamageLeft = 0;
    int mDamageTop = 0;
    int mDamageRight = 0;
    int mDamageBottom = 0;
    bool mDamaged = false;
    // The owning thread's id while the window exists, else 0.
    std::atomic<std::uint32_t> mOwner{0};
    std::atomic<bool> mPaintRequested{false};
    // Guards the requested values and mRequests.
    mutable std::mutex mRequestLock;
    unsigned mRequests = 0;
    std::string mTitle;
    int mRequestedX = 0;
    int mRequestedY = 0;
    int mRequestedWidth = 0;
    int mRequestedHeight = 0;
    int mMinimumWidth = 0;
    int mMinimumHeight = 0;
    int mMaximumWidth = 0;
    int mMaximumHeight = 0;
    bool mHasHints = false;
};

}  // namespace nevrik::platform
