#include "nevrik/gui3d/Root.h"

#include "nevrik/application/Message.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/MatrixStack.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/platform/NativeWindow.h"
#include "nevrik/platform/WindowMessage.h"
#include "nevrik/system/Thread.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace nevrik::gui3d {
namespace {

using WindowMessage = platform::WindowMessage;

// Moves (second bit alone) or stretches (both bits) one side of a frame by
// the root's change along that axis.
void follow(float& position, float& extent, std::uint32_t flags, std::uint32_t stretch, std::uint32_t move,
            float delta) {
    const std::uint32_t bits = flags & (stretch | move);
    if (bits == (stretch | move)) {
        extent += delta;
    } else if (bits == move) {
        position += delta;
    }
}

// The model-view matrix that carries view coordinates to root pixels.
math::Matrix4<float> matrixOf(const graphics::Transform<float>& t) {
    const float elements[16] = {t.m00, t.m01, 0.0f, t.tx, t.m10, t.m11, 0.0f, t.ty,
                                0.0f,  0.0f,  1.0f, 0.0f, 0.0f,  0.0f,  0.0f, 1.0f};
    return math::Matrix4<float>(elements);
}

// Limits drawing to `frame` within the root's `size` (root pixels, y
// downwards) on a render target `targetHeight` pixels high.
void clip(const input::Rect& frame, const gui::Size& size, std::int32_t targetHeight) {
    const auto left = static_cast<GLint>(std::max(0.0f, std::floor(frame.x)));
    const auto top = static_cast<GLint>(std::max(0.0f, std::floor(frame.y)));
    const auto right = static_cast<GLint>(std::min(size.width, std::ceil(frame.x + frame.width)));
    const auto bottom = static_cast<GLint>(std::min(size.height, std::ceil(frame.y + frame.height)));
    glScissor(left, targetHeight - std::max(top, bottom), std::max(0, right - left),
              std::max(0, bottom - top));
}

input::Point positionOf(const WindowMessage& message) {
    return {static_cast<float>(message.x), static_cast<float>(message.y)};
}

}  // namespace

Root::Root(graphics3d::Context* graphicsContext, bool takeInput) : mContext(graphicsContext) {
    graphics3d::FrameBuffer& frameBuffer = graphicsContext->getDefaultFrameBuffer();
    mSize = {static_cast<float>(frameBuffer.getWidth()), static_cast<float>(frameBuffer.getHeight())};
    mLastSize = mSize;
    // Messages may be posted to the root and its views at once; they wait
    // for deliverMessages() on this thread.
    setThread(system::Thread::current());
    // One root per window: a second one would hand the first one's messages
    // on, and after the first died, hand them to a dead root.
    platform::NativeWindow* window = platform::NativeWindow::find(graphicsContext->getWindow());
    const platform::WindowProcedure::Function current =
        window != nullptr ? window->getProcedure().function : nullptr;
    if (current != &Root::inputProcedure && current != &Root::resizeProcedure) {
        mWindow = window;
    }
    mDeviceContext = graphicsContext->getDeviceContext();
    install(takeInput ? &Root::inputProcedure : &Root::resizeProcedure);
}

Root::~Root() {
    while (View* view = mViews.getFirst()) {
        removeView(view);
    }
    setThread(nullptr);
    if (mWindow != nullptr) {
        mWindow->setProcedure(mPreviousProcedure);
    }
    system::Mutex::Guard guard(mLock);
    mQueue.clear();
}

void Root::takeInput() {
    mTracking = false;
    install(&Root::inputProcedure);
}

void Root::install(platform::WindowProcedure::Function function) {
    if (mWindow == nullptr) {
        return;
    }
    const platform::WindowProcedure previous = mWindow->setProcedure({function, this});
    // Switching between the root's own procedures keeps the one found first.
    if (previous.user != this) {
        mPreviousProcedure = previous;
    }
}

bool Root::addView(View* view) {
    if (view == nullptr || view->mRoot != nullptr || view->mParent != nullptr || !addHandler(view)) {
        return false;
    }
    mViews.add(view);
    view->mRoot = this;
    view->mContext = &mContext;
    view->attached();
    return true;
}

bool Root::removeView(View* view) {
    if (view == nullptr || view->mRoot != this || view->mParent != nullptr) {
        return false;
    }
    if (mFocusedView == view) {
        view->focusLost();
        mFocusedView = nullptr;
    }
    if (mHoveredView == view) {
        mHoveredView = nullptr;
    }
    view->detached();
    view->mRoot = nullptr;
    view->mContext = nullptr;
    // The chain's reference goes last: it may be the view's only one.
    removeHandler(view);
    mViews.remove(view);
    return true;
}

bool Root::setFocusedView(View* view) {
    if (view != nullptr && view->mRoot != this) {
        return false;
    }
    if (mFocusedView != nullptr && mFocusedView != view) {
        View* old = mFocusedView;
        mFocusedView = nullptr;
        old->focusLost();
    }
    mFocusedView = view;
    return true;
}

void Root::deliverMessages() {
    for (;;) {
        application::Message* message;
        {
            system::Mutex::Guard guard(mLock);
            message = mQueue.pop();
        }
        if (message == nullptr) {
            return;
        }
        // Serialised with any other delivery to the same handler, and handed
        // on when the handler has moved to another messenger meanwhile.
        deliver(message);
    }
}

void Root::render() {
    mContext.begin();
    mContext.endBatch();
    const auto width = static_cast<GLsizei>(mSize.width);
    const auto height = static_cast<GLsizei>(mSize.height);
    glScissor(0, mContext.getHeight() - height, width, height);
    graphics3d::MatrixStack& matrices = *mContext.getMatrixStack();
    for (View* view : mViews) {
        mContext.endBatch();
        clip(view->getFrame(), mSize, mContext.getHeight());
        matrices.load(matrixOf(view->getWindowTransform()));
        view->render();
    }
    mContext.end();
}

bool Root::resized(const gui::Size& size) {
    const float dx = size.width - mLastSize.width;
    const float dy = size.height - mLastSize.height;
    if (dx != 0.0f || dy != 0.0f) {
        for (View* view : mViews) {
            const std::uint32_t flags = view->getLayoutFlags();
            if (flags == 0) {
                continue;
            }
            input::Rect frame = view->getFrame();
            follow(frame.x, frame.width, flags, View::kStretchLeft, View::kFollowRight, dx);
            follow(frame.y, frame.height, flags, View::kStretchTop, View::kFollowBottom, dy);
            view->setFrame(frame);
            view->relayout();
        }
    }
    mSize = size;
    mLastSize = size;
    return true;
}

bool Root::broadcastFirst() {
    return forEachView(&View::activate);
}

bool Root::broadcastSecond() {
    return forEachView(&View::deactivate);
}

bool Root::forEachView(bool (View::*operation)()) {
    for (View* view : mViews) {
        (view->*operation)();
    }
    return true;
}

bool Root::keyDown(std::uint32_t /*key*/) {
    return true;
}

bool Root::keyUp(std::uint32_t /*key*/) {
    return true;
}

bool Root::character(std::uint32_t /*code*/, std::uint32_t /*modifiers*/) {
    return true;
}

bool Root::mouseMoved(const input::Point& position, std::uint32_t state) {
    for (View* view : mViews) {
        if (!view->isUnder(position)) {
            continue;
        }
        if (view != mHoveredView) {
            enter(view, position, state);
        }
        if (view->mouseMoved(view->toView(position), state)) {
            return true;
        }
    }
    // A view that let the move pass is still under the pointer: it is left
    // only once the pointer is off it.
    if (mHoveredView != nullptr && !mHoveredView->isUnder(position)) {
        leaveHovered();
    }
    return false;
}

bool Root::mouseButton(const input::Point& position, std::uint32_t event) {
    for (View* view : mViews) {
        if (view->isUnder(position) && view->mouseButton(view->toView(position), event)) {
            return true;
        }
    }
    return false;
}

bool Root::mouseWheel(float /*delta*/, std::uint32_t /*state*/) {
    return false;
}

bool Root::mouseEntered(const input::Point& position, std::uint32_t state) {
    for (View* view : mViews) {
        // The view entered becomes the hovered one, so that the move that
        // follows does not enter it a second time.
        if (view->isUnder(position) && view != mHoveredView && enter(view, position, state)) {
            break;
        }
    }
    return true;
}

bool Root::mouseLeft() {
    leaveHovered();
    return true;
}

void Root::leaveHovered() {
    if (View* old = mHoveredView) {
        mHoveredView = nullptr;
        old->mouseLeft();
    }
}

bool Root::enter(View* view, const input::Point& position, std::uint32_t state) {
    leaveHovered();
    mHoveredView = view;
    return view->mouseEntered(view->toView(position), state);
}

bool Root::queueFront(object::Pointer<application::Message> message) {
    return enqueue(std::move(message), true);
}

bool Root::queueBack(object::Pointer<application::Message> message) {
    return enqueue(std::move(message), false);
}

bool Root::enqueue(object::Pointer<application::Message> message, bool front) {
    system::Mutex::Guard guard(mLock);
    const bool queued = front ? mQueue.pushFront(message.get()) : mQueue.pushBack(message.get());
    // Queued, the queue's hold replaces the pointer's; refused, the message is
    // given up, as the messenger contract says. Under the lock either way:
    // holders are counted without atomics, and the window's thread may pop
    // and release a queued message once the lock is let go.
    message.reset();
    return queued;
}

bool Root::ownsThread() const {
    return false;
}

int Root::getQueuedCount() const {
    system::Mutex::Guard guard(mLock);
    return mQueue.getCount();
}

long Root::passOn(platform::NativeWindow& window, const WindowMessage& message) {
    return mPreviousProcedure(window, message);
}

long Root::inputProcedure(platform::NativeWindow& window, const WindowMessage& message, void* user) {
    Root& root = *static_cast<Root*>(user);
    View* focused = root.mFocusedView;
    switch (message.type) {
        case WindowMessage::Type::KeyDown:
            if (!message.repeat) {
                focused != nullptr ? focused->keyDown(message.key) : root.keyDown(message.key);
            }
            return 0;
        case WindowMessage::Type::KeyUp:
            focused != nullptr ? focused->keyUp(message.key) : root.keyUp(message.key);
            return 0;
        case WindowMessage::Type::Char:
            focused != nullptr ? focused->character(message.key, message.modifiers)
                               : root.character(message.key, message.modifiers);
            return 0;
        case WindowMessage::Type::MouseMove:
            // The window system reports leaving on its own; entering is the
            // first move after a leave.
            if (!root.mTracking) {
                root.mTracking = true;
                root.mouseEntered(positionOf(message), message.state);
            }
            root.mouseMoved(positionOf(message), message.state);
            return 0;
        case WindowMessage::Type::ButtonDown:
        case WindowMessage::Type::ButtonUp:
            root.mouseButton(positionOf(message), message.button);
            return 0;
        case WindowMessage::Type::MouseWheel:
            return root.mouseWheel(static_cast<float>(message.delta), message.state) ? 1 : 0;
        case WindowMessage::Type::MouseLeave:
            root.mTracking = false;
            root.mouseLeft();
            return 0;
        default:
            return resizeProcedure(window, message, user);
    }
}

long Root::resizeProcedure(platform::NativeWindow& window, const WindowMessage& message, void* user) {
    Root& root = *static_cast<Root*>(user);
    switch (message.type) {
        case WindowMessage::Type::Size:
            root.resized({static_cast<float>(message.width), static_cast<float>(message.height)});
            return root.passOn(window, message);
        case WindowMessage::Type::Destroy:
            // The window goes before the root: it gets its procedure back now,
            // and the root lets go of it.
            window.setProcedure(root.mPreviousProcedure);
            root.mWindow = nullptr;
            return root.passOn(window, message);
        default:
            return root.passOn(window, message);
    }
}

}  // namespace nevrik::gui3d
