#include "nevrik/gui/Window.h"

#include "nevrik/application/Message.h"
#include "nevrik/platform/WindowEvents.h"
#include "nevrik/platform/WindowMessage.h"
#include "nevrik/system/Thread.h"

#include <algorithm>
#include <utility>

namespace nevrik::gui {
namespace {

using application::Message;
using platform::WindowMessage;

// The view named by a message's "view" parameter, or null.
View* viewOf(const Message& message) {
    const Message::Parameter* parameter = message.getParameter("view");
    return parameter != nullptr ? dynamic_cast<View*>(parameter->getValue()) : nullptr;
}

input::Point positionOf(const WindowMessage& message) {
    return {static_cast<float>(message.x), static_cast<float>(message.y)};
}

int pixels(float value) {
    return std::max(1, static_cast<int>(value));
}

}  // namespace

Window::Window() {
    sendSizeHints();
}

Window::~Window() {
    if (isRunning() && isOpen()) {
        close();
    }
    while (View* view = mViews.getFirst()) {
        detachView(view);
    }
}

bool Window::open() {
    // run() refuses a running looper, but waits for a window thread that
    // was told to end from within (the close box) and starts a new one.
    if (onWindowThread() || isOpen() || !run()) {
        return false;
    }
    if (!application::send(this, Message::WINDOW_OPEN)) {
        quit();
        return false;
    }
    mDone.consume();
    if (!isOpen()) {
        // The window thread has asked its loop to end; wait for the end, so
        // that the window can be opened again.
        quit();
        return false;
    }
    return true;
}

bool Window::close() {
    if (!isRunning() || !isOpen() || !application::send(this, Message::WINDOW_CLOSE)) {
        return false;
    }
    mDone.consume();
    quit();
    return true;
}

bool Window::isRunning() const {
    const system::Thread* thread = getThread();
    return thread != nullptr && thread->isRunning();
}

void Window::setTitle(const types::String& title) {
    mTitle = title;
    if (isOpen()) {
        mNative.setTitle(title.c_str());
    }
}

void Window::setSize(float width, float height) {
    if (isOpen()) {
        // The new size arrives as a Size message, which lays the views out.
        mNative.setClientSize(pixels(width), pixels(height));
        return;
    }
    mFrame.width = width;
    mFrame.height = height;
    resized(mFrame);
}

void Window::setMinimumSize(float width, float height) {
    mMinimumSize = {width, height};
    sendSizeHints();
}

void Window::setMaximumSize(float width, float height) {
    mMaximumSize = {width, height};
    sendSizeHints();
}

bool Window::addView(View* view) {
    if (view == nullptr) {
        return false;
    }
    if (isRunning() && !onWindowThread()) {
        return sendViewRequest(kViewCreate, view);
    }
    return attachView(view);
}

bool Window::removeView(View* view) {
    if (view == nullptr) {
        return false;
    }
    if (isRunning() && !onWindowThread()) {
        return sendViewRequest(kViewDestroy, view);
    }
    return detachView(view);
}

bool Window::setFocusedView(View* view) {
    if (view != nullptr && (view->mWindow != this || view->mParent != nullptr)) {
        return false;
    }
    if (mFocusedView != nullptr && mFocusedView != view) {
        mFocusedView->focusLost();
    }
    mFocusedView = view;
    return true;
}

bool Window::onMessage(Message& message) {
    switch (message.getWhat()) {
        case Message::WINDOW_OPEN:
            if (!createNative()) {
                quit();
                mDone.set();
                return false;
            }
            mOpen.store(true, std::memory_order_release);
            mFocusedView = nullptr;
            mDone.set();
            opened();
            mNative.show();
            return true;
        case Message::WINDOW_CLOSE:
            closed();
            destroyNative();
            mOpen.store(false, std::memory_order_release);
            mFocusedView = nullptr;
            mDone.set();
            return true;
        case Message::VIEW_PAINT:
            if (View* view = viewOf(message)) {
                view->paint(mContext, view->getBounds());
            }
            return true;
        case Message::VIEW_RESIZE:
            if (View* view = viewOf(message)) {
                view->frameChanged(view->getFrame());
            }
            return true;
        case kViewCreate:
        case kViewDestroy: {
            View* view = viewOf(message);
            mViewResult = message.getWhat() == kViewCreate ? attachView(view) : detachView(view);
            mViewDone.set();
            return true;
        }
        default:
            return application::Looper::onMessage(message);
    }
}

bool Window::opened() {
    return forEachView(&View::create);
}

bool Window::closed() {
    return forEachView(&View::destroy);
}

bool Window::closeRequested() {
    return close();
}

bool Window::lost() {
    return close();
}

bool Window::activated() {
    return forEachView(&View::activate);
}

bool Window::deactivated() {
    return forEachView(&View::deactivate);
}

bool Window::moved(const input::Point& /*position*/) {
    mLastFrame = mFrame;
    return true;
}

bool Window::resized(const input::Rect& frame) {
    const float dx = frame.width - mLastFrame.width;
    const float dy = frame.height - mLastFrame.height;
    if (dx != 0.0f || dy != 0.0f) {
        for (View* view : mViews) {
            const std::uint32_t flags = view->getLayoutFlags();
            if (flags == 0) {
                continue;
            }
            input::Rect rect = view->getFrame();
            const std::uint32_t horizontal = flags & (View::kStretchLeft | View::kFollowRight);
            if (horizontal == (View::kStretchLeft | View::kFollowRight)) {
                rect.width += dx;
            } else if (horizontal == View::kFollowRight) {
                rect.x += dx;
            }
            const std::uint32_t vertical = flags & (View::kStretchTop | View::kFollowBottom);
            if (vertical == (View::kStretchTop | View::kFollowBottom)) {
                rect.height += dy;
            } else if (vertical == View::kFollowBottom) {
                rect.y += dy;
            }
            view->setFrame(rect);
            view->relayout();
        }
    }
    mLastFrame = frame;
    return true;
}

bool Window::paint(Context& /*context*/, const input::Rect& /*area*/) {
    return true;
}
bool Window::keyDown(std::uint32_t /*key*/) {
    return true;
}
bool Window::keyUp(std::uint32_t /*key*/) {
    return true;
}
bool Window::character(std::uint32_t /*code*/, std::uint32_t /*modifiers*/) {
    return true;
}
bool Window::mouseMoved(const input::Point& /*position*/, std::uint32_t /*state*/) {
    return true;
}
bool Window::mouseButton(const input::Point& /*position*/, std::uint32_t /*event*/) {
    return true;
}

bool Window::mouseWheel(float delta, std::uint32_t state) {
    return mFocusedView != nullptr && mFocusedView->mouseWheel(delta, state);
}

int Window::getWaitDescriptor() const {
    return platform::WindowEvents::getDescriptor();
}

void Window::dispatchPending() {
    platform::WindowEvents::dispatch();
}

long Window::procedure(platform::NativeWindow& /*window*/, const WindowMessage& message, void* user) {
    Window& window = *static_cast<Window*>(user);
    View* focused = window.mFocusedView;
    switch (message.type) {
        case WindowMessage::Type::Move:
            window.mFrame.x = static_cast<float>(message.x);
            window.mFrame.y = static_cast<float>(message.y);
            window.moved(positionOf(message));
            break;
        case WindowMessage::Type::Size:
            window.mFrame.width = static_cast<float>(message.width);
            window.mFrame.height = static_cast<float>(message.height);
            window.resized(window.mFrame);
            break;
        case WindowMessage::Type::Activate:
            if (message.active) {
                window.activated();
            } else {
                window.deactivated();
            }
            break;
        case WindowMessage::Type::Paint:
            // A window destroyed by another program has no drawable left: a
            // GL driver asked to draw or swap there may write through sizes it
            // could not read back.
            if (window.mNative.isLost()) {
                break;
            }
            window.paint(window.mContext,
                         {static_cast<float>(message.x), static_cast<float>(message.y),
                          static_cast<float>(message.width), static_cast<float>(message.height)});
            break;
        case WindowMessage::Type::Close:
            window.closeRequested();
            break;
        case WindowMessage::Type::Lost:
            window.lost();
            break;
        case WindowMessage::Type::KeyDown:
            // Held keys repeat; the window reports the press once.
            if (!message.repeat) {
                focused != nullptr ? focused->keyDown(message.key) : window.keyDown(message.key);
            }
            break;
        case WindowMessage::Type::KeyUp:
            focused != nullptr ? focused->keyUp(message.key) : window.keyUp(message.key);
            break;
        case WindowMessage::Type::Char:
            focused != nullptr ? focused->character(message.key, message.modifiers)
                               : window.character(message.key, message.modifiers);
            break;
        case WindowMessage::Type::MouseMove:
            window.mouseMoved(positionOf(message), message.state);
            break;
        case WindowMessage::Type::ButtonDown:
        case WindowMessage::Type::ButtonUp:
            window.mouseButton(positionOf(message), message.button);
            break;
        case WindowMessage::Type::MouseWheel:
            return window.mouseWheel(static_cast<float>(message.delta), message.state) ? 1 : 0;
        default:
            break;
    }
    return 0;
}

bool Window::createNative() {
    mStyle = kStyle;
    if (!mNative.create(nullptr, static_cast<int>(mFrame.x), static_cast<int>(mFrame.y), pixels(mFrame.width),
                        pixels(mFrame.height), mTitle.c_str(), nullptr,
                        platform::WindowProcedure{&Window::procedure, this})) {
        return false;
    }
    mDeviceContext = mNative.acquireDeviceContext();
    if (mDeviceContext == nullptr) {
        mNative.destroy();
        return false;
    }
    if (mNative.isPaletteDisplay()) {
        // Room for the application's colours; the window loads none itself.
        mPalette.create(mNative, mPaletteEntries, kPaletteEntries);
        mPalette.realize();
    }
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    if (mNative.getScreenRect(x, y, width, height)) {
        mFrame = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
                  static_cast<float>(height)};
    }
    mContext.set(&mNative, mDeviceContext);
    return true;
}

bool Window::destroyNative() {
    mPalette.destroy();
    mNative.releaseDeviceContext();
    if (!mNative.destroy()) {
        return false;
    }
    mDeviceContext = nullptr;
    mContext.clear();
    return true;
}

bool Window::forEachView(bool (View::*operation)()) {
    for (View* view : mViews) {
        (view->*operation)();
    }
    return true;
}

bool Window::onWindowThread() const {
    return getThread() != nullptr && system::Thread::current() == getThread();
}

bool Window::sendViewRequest(std::uint32_t what, View* view) {
    object::Pointer<Message> message = Message::make(what, this);
    message->addParameter("view", view);
    // The view stays alive while the request travels.
    object::Pointer<View> hold(view);
    if (!application::send(std::move(message))) {
        // The thread ended meanwhile: nobody else touches the views now.
        return what == kViewCreate ? attachView(view) : detachView(view);
    }
    mViewDone.consume();
    return mViewResult;
}

void Window::sendSizeHints() {
    mNative.setSizeHints(static_cast<int>(mMinimumSize.width), static_cast<int>(mMinimumSize.height),
                         static_cast<int>(mMaximumSize.width), static_cast<int>(mMaximumSize.height));
}

bool Window::attachView(View* view) {
    if (view == nullptr || view->mWindow != nullptr || view->mParent != nullptr || !addHandler(view)) {
        return false;
    }
    mViews.add(view);
    view->mWindow = this;
    if (isOpen()) {
        view->create();
    }
    return true;
}

bool Window::detachView(View* view) {
    if (view == nullptr || view->mWindow != this || view->mParent != nullptr) {
        return false;
    }
    if (mFocusedView == view) {
        view->focusLost();
        mFocusedView = nullptr;
    }
    if (isOpen()) {
        view->destroy();
    }
    view->mWindow = nullptr;
    removeHandler(view);
    // The chain's reference may be the last one.
    mViews.remove(view);
    return true;
}

}  // namespace nevrik::gui
