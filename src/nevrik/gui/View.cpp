#include "nevrik/gui/View.h"

#include "nevrik/gui/Window.h"
#include "nevrik/input/MouseListener.h"
#include "nevrik/platform/WindowMessage.h"

#include <algorithm>
#include <cmath>

namespace nevrik::gui {
namespace {

using Message = platform::WindowMessage;

// Window messages carry the encodings the mouse listeners read, unchanged.
static_assert(Message::kLeftHeld == input::MouseListener::kLeftButton &&
                  Message::kMiddleHeld == input::MouseListener::kMiddleButton &&
                  Message::kRightHeld == input::MouseListener::kRightButton &&
                  Message::kLeftReleased == input::MouseListener::kLeftReleased &&
                  Message::kMiddleReleased == input::MouseListener::kMiddleReleased &&
                  Message::kRightReleased == input::MouseListener::kRightReleased &&
                  Message::kShift == input::MouseListener::kShift &&
                  Message::kControl == input::MouseListener::kControl,
              "window messages and mouse listeners share one encoding");

// What the child window's procedure answers for an input operation's result.
long answer(bool handled) {
    return handled ? 0 : -1;
}

input::Point positionOf(const Message& message) {
    return {static_cast<float>(message.x), static_cast<float>(message.y)};
}

}  // namespace

View::View(const input::Rect& frame) : mBounds{0.0f, 0.0f, frame.width, frame.height}, mFrame(frame) {
    updateWindowTransform();
}

View::~View() {
    // A child window still there dies with the view's members; nothing of
    // the view may be called by then.
    mNative.setProcedure(platform::WindowProcedure{});
}

Size View::getSize() const {
    return {mFrame.width, mFrame.height};
}

bool View::isVisible() const {
    return true;
}

bool View::paint(Context& /*context*/, const input::Rect& /*area*/) {
    return true;
}

bool View::create() {
    return createChild(nullptr);
}

bool View::destroy() {
    if (!mNative.isCreated()) {
        return false;
    }
    mNative.releaseDeviceContext();
    mNative.destroy();
    mDeviceContext = nullptr;
    mContext.clear();
    mTracking = false;
    return true;
}

bool View::activate() {
    return true;
}
bool View::deactivate() {
    return true;
}
bool View::frameChanged(const input::Rect& /*frame*/) {
    return true;
}
bool View::refresh() {
    return true;
}
bool View::focusLost() {
    return true;
}
bool View::keyDown(std::uint32_t /*key*/) {
    return true;
}
bool View::keyUp(std::uint32_t /*key*/) {
    return true;
}
bool View::character(std::uint32_t /*code*/, std::uint32_t /*modifiers*/) {
    return true;
}
bool View::mouseMoved(const input::Point& /*position*/, std::uint32_t /*state*/) {
    return true;
}
bool View::mouseButton(const input::Point& /*position*/, std::uint32_t /*event*/) {
    return true;
}
bool View::mouseEntered(const input::Point& /*position*/, std::uint32_t /*state*/) {
    return true;
}
bool View::mouseLeft() {
    return true;
}
bool View::mouseWheel(float /*delta*/, std::uint32_t /*state*/) {
    return false;
}

void View::updateWindowTransform() {
    const graphics::Transform<float> placed =
        graphics::Transform<float>().translated(mFrame.x, mFrame.y) * mTransform;
    mWindowTransform = mParent != nullptr ? mParent->mWindowTransform * placed : placed;
}

bool View::invalidate() {
    return mWindow != nullptr && mNative.invalidate();
}

void View::relayout() {
    const graphics::Transform<float>& t = mTransform;
    const float determinant = t.m00 * t.m11 - t.m01 * t.m10;
    // A transform that flattens the view has no inverse: the bounds stay.
    if (determinant != 0.0f) {
        // The inverse's linear part carries the frame's size back into view
        // coordinates; the view point at the frame's origin is the inverse
        // of the translation.
        const float i00 = t.m11 / determinant;
        const float i01 = -t.m01 / determinant;
        const float i10 = -t.m10 / determinant;
        const float i11 = t.m00 / determinant;
        mBounds.x = -(i00 * t.tx + i01 * t.ty);
        mBounds.y = -(i10 * t.tx + i11 * t.ty);
        mBounds.width = i00 * mFrame.width + i01 * mFrame.height;
        mBounds.height = i10 * mFrame.width + i11 * mFrame.height;
    }
    updateWindowTransform();
    if (mNative.isCreated()) {
        const input::Rect rect = getChildRect();
        mNative.setFrame(static_cast<int>(rect.x), static_cast<int>(rect.y),
                         std::max(1, static_cast<int>(rect.width)),
                         std::max(1, static_cast<int>(rect.height)));
    } else {
        frameChanged(mFrame);
    }
}

bool View::createChild(const platform::GlConfig* config) {
    if (mWindow == nullptr || !mWindow->isOpen() || mNative.isCreated()) {
        return false;
    }
    platform::NativeWindow* parent = mParent != nullptr ? &mParent->mNative : &mWindow->getNativeWindow();
    const input::Rect rect = getChildRect();
    // The window system has no empty windows; a view of no size gets one
    // pixel that nobody sees.
    if (!mNative.create(parent, static_cast<int>(rect.x), static_cast<int>(rect.y),
                        std::max(1, static_cast<int>(rect.width)), std::max(1, static_cast<int>(rect.height)),
                        "view", config, platform::WindowProcedure{&View::procedure, this})) {
        return false;
    }
    mNative.show();
    mDeviceContext = mNative.acquireDeviceContext();
    mContext.set(&mNative, mDeviceContext);
    mTracking = false;
    return true;
}

Size View::getTransformedSize() const noexcept {
    const input::Rect rect = getChildRect();
    return {rect.width, rect.height};
}

input::Rect View::getChildRect() const noexcept {
    const graphics::Transform<float>& t = mTransform;
    return {mFrame.x + (mBounds.x * t.m00 + mBounds.y * t.m01 + t.tx),
            mFrame.y + (mBounds.x * t.m10 + mBounds.y * t.m11 + t.ty),
            t.m00 * mBounds.width + t.m01 * mBounds.height, t.m10 * mBounds.width + t.m11 * mBounds.height};
}

long View::procedure(platform::NativeWindow& /*window*/, const Message& message, void* user) {
    View& view = *static_cast<View*>(user);
    switch (message.type) {
        case Message::Type::Move:
            view.mFrame.x = static_cast<float>(message.x);
            view.mFrame.y = static_cast<float>(message.y);
            view.frameChanged(view.mFrame);
            return 0;
        case Message::Type::Size:
            view.mFrame.width = static_cast<float>(message.width);
            view.mFrame.height = static_cast<float>(message.height);
            view.frameChanged(view.mFrame);
            return 0;
        case Message::Type::Paint: {
            const input::Rect area{static_cast<float>(message.x), static_cast<float>(message.y),
                                   static_cast<float>(message.width), static_cast<float>(message.height)};
            view.paint(view.mContext, area);
            return 0;
        }
        case Message::Type::KeyDown:
            return message.repeat ? -1 : answer(view.keyDown(message.key));
        case Message::Type::KeyUp:
            return answer(view.keyUp(message.key));
        case Message::Type::Char:
            return answer(view.character(message.key, message.modifiers));
        case Message::Type::MouseMove:
            if (!view.mTracking) {
                // Leaving is always reported by the window system; entering is
                // the first move after it.
                view.mTracking = true;
                view.mouseEntered(positionOf(message), message.state);
            }
            return answer(view.mouseMoved(positionOf(message), message.state));
        case Message::Type::ButtonDown:
        case Message::Type::ButtonUp:
            return answer(view.mouseButton(positionOf(message), message.button));
        case Message::Type::MouseWheel:
            return view.mouseWheel(static_cast<float>(message.delta), message.state) ? 1 : 0;
        case Message::Type::MouseLeave:
            view.mTracking = false;
            view.mouseLeft();
            return 0;
        default:
            return 0;
    }
}

}  // namespace nevrik::gui
