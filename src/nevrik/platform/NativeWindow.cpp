#include "nevrik/platform/NativeWindow.h"

#include "nevrik/platform/GlConfig.h"
#include "nevrik/platform/ThreadId.h"
#include "nevrik/platform/ThreadQueue.h"
#include "nevrik/platform/WindowMessage.h"
#include "nevrik/platform/detail/XConnection.h"
#include "nevrik/platform/detail/XErrors.h"

#include <GL/glx.h>
#include <X11/Xutil.h>

namespace nevrik::platform {
namespace {

// Wakes a window's owner for requests made on other threads. Loopers drop
// thread messages they do not know, and the wake-up is all that counts: the
// requests wait in the window.
constexpr std::uint32_t kWakeCode = ThreadQueue::kUser + 0x200;

constexpr long kPointerEvents = PointerMotionMask | ButtonPressMask | ButtonReleaseMask | LeaveWindowMask;
// Children take keys too: X hands a key to the deepest window under the
// pointer that asks for it, so a child that did not would pass its keys to
// the top-level window and a view's own procedure would never hear them.
constexpr long kChildEvents =
    StructureNotifyMask | ExposureMask | kPointerEvents | KeyPressMask | KeyReleaseMask;
constexpr long kTopLevelEvents = kChildEvents | FocusChangeMask;

}  // namespace

NativeWindow::~NativeWindow() {
    destroy();
}

bool NativeWindow::create(NativeWindow* parent, int x, int y, int width, int height, const char* title,
                          const GlConfig* config, const WindowProcedure& procedure) {
    if (isCreated() || width <= 0 || height <= 0 || (parent != nullptr && !parent->isOwner())) {
        return false;
    }
    detail::XConnection* connection = detail::XConnection::acquire();
    if (connection == nullptr) {
        return false;
    }
    ::Display* display = connection->get();
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    Visual* visual = DefaultVisual(display, screen);
    int depth = DefaultDepth(display, screen);
    XSetWindowAttributes attributes{};
    unsigned long mask = CWEventMask | CWBackPixmap | CWBorderPixel;
    // No background: the procedure paints everything, as OpenGL does.
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.event_mask = parent == nullptr ? kTopLevelEvents : kChildEvents;
    Colormap colormap = 0;
    if (config != nullptr && config->isChosen()) {
        XVisualInfo* info = glXGetVisualFromFBConfig(display, static_cast<GLXFBConfig>(config->getHandle()));
        if (info == nullptr) {
            connection->releaseUse();
            return false;
        }
        visual = info->visual;
        depth = info->depth;
        XFree(info);
        // A window whose visual differs from its parent's needs a colour map
        // of that visual, or the server refuses it.
        colormap = XCreateColormap(display, root, visual, AllocNone);
        attributes.colormap = colormap;
        mask |= CWColormap;
    }
    detail::XErrors errors(display);
    const Window id =
        XCreateWindow(display, parent != nullptr ? static_cast<Window>(parent->mId) : root,
                      parent != nullptr ? x : 0, parent != nullptr ? y : 0, static_cast<unsigned>(width),
                      static_cast<unsigned>(height), 0, depth, InputOutput, visual, mask, &attributes);
    if (id == 0 || errors.occurred()) {
        if (id != 0) {
            XDestroyWindow(display, id);
        }
        if (colormap != 0) {
            XFreeColormap(display, colormap);
        }
        connection->releaseUse();
        return false;
    }
    mConnection = connection;
    mId = id;
    mColormap = colormap;
    mTopLevel = parent == nullptr;
    mX = parent != nullptr ? x : 0;
    mY = parent != nullptr ? y : 0;
    mWidth = width;
    mHeight = height;
    mActive = false;
    mLost = false;
    mDamaged = false;
    mProcedure = procedure;
    if (mTopLevel) {
        Atom deleteAtom = connection->getDeleteAtom();
        XSetWMProtocols(display, id, &deleteAtom, 1);
        XStoreName(display, id, title != nullptr ? title : "");
    }
    connection->add(this);
    mOwner.store(ThreadId::current(), std::memory_order_release);
    if (mTopLevel && mHasHints) {
        request(kHints);
    }
    WindowMessage message;
    message.type = WindowMessage::Type::Create;
    message.width = width;
    message.height = height;
    deliver(message);
    return true;
}

NativeWindow* NativeWindow::find(std::uintptr_t id) noexcept {
    // Each thread's connection knows only its own windows.
    const detail::XConnection* connection = detail::XConnection::peek();
    return connection != nullptr && id != 0 ? connection->find(static_cast<Window>(id)) : nullptr;
}

bool NativeWindow::destroy() {
    if (!isOwner()) {
        return false;
    }
    WindowMessage message;
    message.type = WindowMessage::Type::Destroy;
    deliver(message);
    releaseDeviceContext();
    ::Display* display = mConnection->get();
    {
        // The children of a destroyed parent are gone already on the server.
        detail::XErrors errors(display);
        XDestroyWindow(display, static_cast<Window>(mId));
        if (mColormap != 0) {
            XFreeColormap(display, static_cast<Colormap>(mColormap));
        }
    }
    mConnection->remove(this);
    detail::XConnection* connection = mConnection;
    mOwner.store(0, std::memory_order_release);
    mConnection = nullptr;
    mId = 0;
    mColormap = 0;
    mPaintRequested.store(false);
    {
        std::lock_guard<std::mutex> guard(mRequestLock);
        mRequests = 0;
    }
    connection->releaseUse();
    return true;
}

WindowProcedure NativeWindow::setProcedure(const WindowProcedure& procedure) noexcept {
    WindowProcedure previous = mProcedure;
    mProcedure = procedure;
    return previous;
}

bool NativeWindow::show() {
    if (!isOwner()) {
        return false;
    }
    ::Display* display = mConnection->get();
    XMapWindow(display, static_cast<Window>(mId));
    if (mTopLevel) {
        XRaiseWindow(display, static_cast<Window>(mId));
    }
    return true;
}

void NativeWindow::setTitle(const char* title) {
    {
        std::lock_guard<std::mutex> guard(mRequestLock);
        mTitle = title != nullptr ? title : "";
    }
    request(kTitle);
}

void NativeWindow::setClientSize(int width, int height) {
    requestGeometry(kSize, 0, 0, width, height);
}

void NativeWindow::setFrame(int x, int y, int width, int height) {
    requestGeometry(kFrame, x, y, width, height);
}

void NativeWindow::requestGeometry(unsigned which, int x, int y, int width, int height) {
    {
        std::lock_guard<std::mutex> guard(mRequestLock);
        mRequestedX = x;
        mRequestedY = y;
        mRequestedWidth = width;
        mRequestedHeight = height;
    }
    request(which);
}

void NativeWindow::setSizeHints(int minimumWidth, int minimumHeight, int maximumWidth, int maximumHeight) {
    {
        std::lock_guard<std::mutex> guard(mRequestLock);
        mMinimumWidth = minimumWidth;
        mMinimumHeight = minimumHeight;
        mMaximumWidth = maximumWidth;
        mMaximumHeight = maximumHeight;
        mHasHints = true;
    }
    request(kHints);
}

bool NativeWindow::invalidate() {
    if (!isCreated()) {
        return false;
    }
    if (!mPaintRequested.exchange(true)) {
        wake();
    }
    return true;
}

bool NativeWindow::getScreenRect(int& x, int& y, int& width, int& height) const {
    if (!isOwner()) {
        return false;
    }
    ::Display* display = mConnection->get();
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, static_cast<Window>(mId), &attributes) == 0) {
        return false;
    }
    Window child = 0;
    XTranslateCoordinates(display, static_cast<Window>(mId), attributes.root, 0, 0, &x, &y, &child);
    width = attributes.width;
    height = attributes.height;
    return true;
}

void* NativeWindow::acquireDeviceContext() {
    if (!isOwner()) {
        return nullptr;
    }
    if (mDeviceContext == nullptr) {
        mDeviceContext = XCreateGC(mConnection->get(), static_cast<Window>(mId), 0, nullptr);
    }
    return mDeviceContext;
}

void NativeWindow::releaseDeviceContext() {
    if (mDeviceContext != nullptr && isOwner()) {
        XFreeGC(mConnection->get(), static_cast<GC>(mDeviceContext));
        mDeviceContext = nullptr;
    }
}

bool NativeWindow::isPaletteDisplay() const {
    if (!isOwner()) {
        return false;
    }
    ::Display* display = mConnection->get();
    const int type = DefaultVisual(display, DefaultScreen(display))->c_class;
    return type == PseudoColor || type == GrayScale;
}

void* NativeWindow::getConnection() const noexcept {
    return mConnection != nullptr ? mConnection->get() : nullptr;
}

long NativeWindow::deliver(const WindowMessage& message) {
    return mProcedure(*this, message);
}

bool NativeWindow::isOwner() const noexcept {
    const std::uint32_t owner = mOwner.load(std::memory_order_acquire);
    return owner != 0 && owner == ThreadId::current();
}

void NativeWindow::request(unsigned request) {
    if (!isCreated()) {
        return;
    }
    {
        std::lock_guard<std::mutex> guard(mRequestLock);
        mRequests |= request;
    }
    if (isOwner()) {
        applyRequests();
    } else {
        wake();
    }
}

void NativeWindow::wake() {
    const std::uint32_t owner = mOwner.load(std::memory_order_acquire);
    if (owner != 0) {
        ThreadQueue::post(owner, kWakeCode, 0, 0);
    }
}

void NativeWindow::applyRequests() {
    std::unique_lock<std::mutex> guard(mRequestLock);
    const unsigned requests = mRequests;
    mRequests = 0;
    const std::string title = mTitle;
    const int x = mRequestedX;
    const int y = mRequestedY;
    const int width = mRequestedWidth;
    const int height = mRequestedHeight;
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = mMinimumWidth;
    hints.min_height = mMinimumHeight;
    hints.max_width = mMaximumWidth;
    hints.max_height = mMaximumHeight;
    guard.unlock();
    if (mLost) {
        return;
    }
    ::Display* display = mConnection->get();
    const auto id = static_cast<Window>(mId);
    if ((requests & kTitle) != 0 && mTopLevel) {
        XStoreName(display, id, title.c_str());
    }
    if ((requests & kHints) != 0 && mTopLevel) {
        XSetWMNormalHints(display, id, &hints);
    }
    if (width <= 0 || height <= 0) {
        return;
    }
    if ((requests & kFrame) != 0) {
        XMoveResizeWindow(display, id, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
    } else if ((requests & kSize) != 0) {
        XResizeWindow(display, id, static_cast<unsigned>(width), static_cast<unsigned>(height));
    }
}

}  // namespace nevrik::platform
