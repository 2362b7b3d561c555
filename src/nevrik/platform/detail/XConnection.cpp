#include "nevrik/platform/detail/XConnection.h"

#include "nevrik/platform/KeyCodes.h"
#include "nevrik/platform/NativeWindow.h"
#include "nevrik/platform/WindowMessage.h"
#include "nevrik/platform/detail/XErrors.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <vector>

namespace nevrik::platform::detail {
namespace {

// Every window thread has a connection of its own, and Xlib must know that
// before anyone opens one.
[[maybe_unused]] const Status sThreadsReady = XInitThreads();

thread_local XConnection* tConnection = nullptr;

// Closes a connection left open when its thread ends (windows never destroyed).
struct Closer {
    ~Closer();
};
thread_local Closer tCloser;

using Message = WindowMessage;

std::uint32_t buttonState(unsigned int state) noexcept {
    std::uint32_t bits = 0;
    bits |= (state & Button1Mask) != 0 ? Message::kLeftHeld : Message::kLeftReleased;
    bits |= (state & Button2Mask) != 0 ? Message::kMiddleHeld : Message::kMiddleReleased;
    bits |= (state & Button3Mask) != 0 ? Message::kRightHeld : Message::kRightReleased;
    if ((state & ShiftMask) != 0) {
        bits |= Message::kShift;
    }
    if ((state & ControlMask) != 0) {
        bits |= Message::kControl;
    }
    return bits;
}

unsigned int buttonMask(unsigned int button) noexcept {
    return button == Button1 ? Button1Mask : button == Button2 ? Button2Mask : Button3Mask;
}

// A message of `type` at an event's pointer position.
Message pointerMessage(Message::Type type, int x, int y, unsigned int state) {
    Message message;
    message.type = type;
    message.x = x;
    message.y = y;
    message.state = buttonState(state);
    return message;
}

}  // namespace

Closer::~Closer() {
    XConnection::abandon();
}

XConnection* XConnection::acquire() {
    if (tConnection == nullptr) {
        XErrors::install();
        ::Display* display = XOpenDisplay(nullptr);
        if (display == nullptr) {
            return nullptr;
        }
        tConnection = new XConnection(display);
        // Keeps the closer alive for this thread: its destructor is the
        // last chance to give the connection back.
        static_cast<void>(&tCloser);
    }
    ++tConnection->mUsers;
    return tConnection;
}

XConnection::XConnection(::Display* display)
    : mDisplay(display),
      mDeleteWindow(XInternAtom(display, "WM_DELETE_WINDOW", False)),
      mProtocols(XInternAtom(display, "WM_PROTOCOLS", False)) {
    // Held keys then repeat as presses alone; without the extension the
    // release-press pairs of a repeat are recognised by their time stamps.
    Bool supported = False;
    XkbSetDetectableAutoRepeat(display, True, &supported);
    const struct {
        KeySym keysym;
        std::uint32_t bit;
    } modifiers[] = {
        {XK_Shift_L, Message::kLeftShift},     {XK_Shift_R, Message::kRightShift},
        {XK_Control_L, Message::kLeftControl}, {XK_Control_R, Message::kRightControl},
        {XK_Alt_L, Message::kLeftAlt},         {XK_Alt_R, Message::kRightAlt},
        {XK_Super_L, Message::kLeftWindows},   {XK_Super_R, Message::kRightWindows},
        {XK_Menu, Message::kApplication},
    };
    int index = 0;
    for (const auto& modifier : modifiers) {
        mModifierKeys[index++] = {XKeysymToKeycode(display, modifier.keysym), modifier.bit};
    }
}

XConnection::~XConnection() = default;

XConnection* XConnection::peek() noexcept {
    return tConnection;
}

bool XConnection::isAlive(Window id, const NativeWindow* window) const {
    const auto found = mWindows.find(id);
    return mUsers > 0 && found != mWindows.end() && found->second == window;
}

void XConnection::abandon() {
    if (tConnection != nullptr) {
        tConnection->close();
    }
}

void XConnection::releaseUse() {
    if (--mUsers == 0 && mDispatching == 0) {
        close();
    }
}

void XConnection::close() {
    XCloseDisplay(mDisplay);
    tConnection = nullptr;
    delete this;
}

void XConnection::add(NativeWindow* window) {
    mWindows[static_cast<Window>(window->mId)] = window;
}

void XConnection::remove(NativeWindow* window) {
    mWindows.erase(static_cast<Window>(window->mId));
}

NativeWindow* XConnection::find(Window id) const noexcept {
    const auto found = mWindows.find(id);
    return found != mWindows.end() ? found->second : nullptr;
}

int XConnection::getDescriptor() const {
    return ConnectionNumber(mDisplay);
}

void XConnection::dispatch() {
    ++mDispatching;
    // A pass handles what had arrived when it began, then paints: a server
    // that keeps sending (a resize burst answered by resizes of our own)
    // must not keep the thread from its queued messages, a close among them.
    // XPending flushes what the procedures asked for and reads what has
    // arrived; flushing may read events into Xlib's queue, where no poll
    // sees them, so whatever is left there wakes the thread for another pass.
    for (int budget = XPending(mDisplay); mUsers > 0 && budget > 0 && XPending(mDisplay) > 0; --budget) {
        XEvent event;
        XNextEvent(mDisplay, &event);
        handle(event);
    }
    if (mUsers > 0) {
        paintPending();
        XFlush(mDisplay);
        if (XEventsQueued(mDisplay, QueuedAlready) > 0 && !mWindows.empty()) {
            mWindows.begin()->second->wake();
        }
    }
    if (--mDispatching == 0 && mUsers == 0) {
        close();
    }
}

void XConnection::paintPending() {
    // Procedures may create and destroy windows while painting: walk a copy
    // of the ids and look each one up again.
    std::vector<Window> ids;
    ids.reserve(mWindows.size());
    for (const auto& entry : mWindows) {
        ids.push_back(entry.first);
    }
    for (const Window id : ids) {
        const auto found = mWindows.find(id);
        if (found == mWindows.end() || mUsers == 0) {
            continue;
        }
        NativeWindow& window = *found->second;
        if (window.mLost) {
            continue;
        }
        window.applyRequests();
        const bool requested = window.mPaintRequested.exchange(false);
        if (!requested && !window.mDamaged) {
            continue;
        }
        Message message;
        message.type = Message::Type::Paint;
        if (requested) {
            message.width = window.mWidth;
            message.height = window.mHeight;
        } else {
            message.x = window.mDamageLeft;
            message.y = window.mDamageTop;
            message.width = window.mDamageRight - window.mDamageLeft;
            message.height = window.mDamageBottom - window.mDamageTop;
        }
        window.mDamaged = false;
        window.deliver(message);
    }
}

void XConnection::handle(XEvent& event) {
    if (event.type == MappingNotify) {
        XRefreshKeyboardMapping(&event.xmapping);
        return;
    }
    const auto found = mWindows.find(event.xany.window);
    if (found == mWindows.end()) {
        return;
    }
    NativeWindow& window = *found->second;
    switch (event.type) {
        case DestroyNotify:
            // Our own destroy() forgets a window before the server confirms;
            // a window still known here went at another program's hands.
            if (event.xdestroywindow.window == event.xany.window && !window.mLost) {
                window.mLost = true;
                window.mDamaged = false;
                Message message;
                message.type = Message::Type::Lost;
                window.deliver(message);
            }
            break;
        case ConfigureNotify:
            handleConfigure(window, event.xconfigure);
            break;
        case Expose: {
            const XExposeEvent& expose = event.xexpose;
            const int right = expose.x + expose.width;
            const int bottom = expose.y + expose.height;
            if (!window.mDamaged) {
                window.mDamageLeft = expose.x;
                window.mDamageTop = expose.y;
                window.mDamageRight = right;
                window.mDamageBottom = bottom;
                window.mDamaged = true;
            } else {
                window.mDamageLeft = std::min(window.mDamageLeft, expose.x);
                window.mDamageTop = std::min(window.mDamageTop, expose.y);
                window.mDamageRight = std::max(window.mDamageRight, right);
                window.mDamageBottom = std::max(window.mDamageBottom, bottom);
            }
            break;
        }
        case FocusIn:
        case FocusOut: {
            const bool active = event.type == FocusIn;
            // Focus moving between the window and its children changes nothing.
            if (event.xfocus.detail == NotifyInferior || event.xfocus.detail == NotifyPointer ||
                active == window.mActive) {
                break;
            }
            window.mActive = active;
            Message message;
            message.type = Message::Type::Activate;
            message.active = active;
            window.deliver(message);
            break;
        }
        case ClientMessage:
            if (event.xclient.message_type == mProtocols &&
                static_cast<Atom>(event.xclient.data.l[0]) == mDeleteWindow) {
                Message message;
                message.type = Message::Type::Close;
                window.deliver(message);
            }
            break;
        case KeyPress:
        case KeyRelease:
            handleKey(window, event.xkey);
            break;
        case MotionNotify: {
            const XMotionEvent& motion = event.xmotion;
            window.deliver(pointerMessage(Message::Type::MouseMove, motion.x, motion.y, motion.state));
            break;
        }
        case ButtonPress:
        case ButtonRelease:
            handleButton(window, event.xbutton, event.type == ButtonPress);
            break;
        case LeaveNotify:
            // Moving into a child window is not leaving.
            if (event.xcrossing.detail != NotifyInferior) {
                Message message;
                message.type = Message::Type::MouseLeave;
                window.deliver(message);
            }
            break;
        default:
            break;
    }
}

void XConnection::handleConfigure(NativeWindow& window, const XConfigureEvent& event) {
    int x = event.x;
    int y = event.y;
    if (window.mTopLevel) {
        // A window manager may have reparented the window: ask the server
        // where the client area is on the screen.
        Window child = 0;
        XTranslateCoordinates(mDisplay, event.window, DefaultRootWindow(mDisplay), 0, 0, &x, &y, &child);
    }
    const bool moved = x != window.mX || y != window.mY;
    const bool resized = event.width != window.mWidth || event.height != window.mHeight;
    window.mX = x;
    window.mY = y;
    window.mWidth = event.width;
    window.mHeight = event.height;
    if (moved) {
        Message message;
        message.type = Message::Type::Move;
        message.x = x;
        message.y = y;
        window.deliver(message);
    }
    if (resized && isAlive(event.window, &window)) {
        Message message;
        message.type = Message::Type::Size;
        message.width = event.width;
        message.height = event.height;
        window.deliver(message);
    }
}

void XConnection::handleKey(NativeWindow& window, XKeyEvent& event) {
    const unsigned int code = event.keycode & 0xFF;
    const std::uint32_t key = KeyCodes::fromKeysym(XLookupKeysym(&event, 0));
    Message message;
    message.key = key;
    if (event.type == KeyRelease) {
        if (isRepeatRelease(event)) {
            return;
        }
        mKeysDown.reset(code);
        if (key != 0) {
            message.type = Message::Type::KeyUp;
            window.deliver(message);
        }
        return;
    }
    message.type = Message::Type::KeyDown;
    message.repeat = mKeysDown.test(code);
    mKeysDown.set(code);
    if (key != 0) {
        window.deliver(message);
    }
    char text[16];
    KeySym keysym = 0;
    const int length = XLookupString(&event, text, sizeof text, &keysym, nullptr);
    if (length <= 0) {
        return;
    }
    Message character;
    character.type = Message::Type::Char;
    character.modifiers = characterModifiers();
    for (int i = 0; i < length && isAlive(event.window, &window); ++i) {
        character.key = static_cast<unsigned char>(text[i]);
        window.deliver(character);
    }
}

bool XConnection::isRepeatRelease(const XKeyEvent& release) {
    if (XEventsQueued(mDisplay, QueuedAfterReading) == 0) {
        return false;
    }
    XEvent next;
    XPeekEvent(mDisplay, &next);
    return next.type == KeyPress && next.xkey.keycode == release.keycode && next.xkey.time == release.time &&
           next.xkey.window == release.window;
}

std::uint32_t XConnection::characterModifiers() const {
    // The keys as this thread's events have left them, not as they are now:
    // a character typed with shift keeps it however late it is handled.
    std::uint32_t bits = 0;
    for (const ModifierKey& modifier : mModifierKeys) {
        if (modifier.code != 0 && mKeysDown.test(modifier.code)) {
            bits |= modifier.bit;
        }
    }
    return bits;
}

void XConnection::handleButton(NativeWindow& window, const XButtonEvent& event, bool press) {
    if (event.button == Button4 || event.button == Button5) {
        // A wheel notch is a press and a release; the press is the notch.
        if (press) {
            Message message = pointerMessage(Message::Type::MouseWheel, event.x, event.y, event.state);
            message.delta = event.button == Button4 ? Message::kWheelNotch : -Message::kWheelNotch;
            window.deliver(message);
        }
        return;
    }
    if (event.button < Button1 || event.button > Button3) {
        return;
    }
    // X reports the state before the event; the procedure wants it after.
    const unsigned int mask = buttonMask(event.button);
    const unsigned int after = press ? event.state | mask : event.state & ~mask;
    Message message =
        pointerMessage(press ? Message::Type::ButtonDown : Message::Type::ButtonUp, event.x, event.y, after);
    static constexpr std::uint32_t kHeld[] = {Message::kLeftHeld, Message::kMiddleHeld, Message::kRightHeld};
    static constexpr std::uint32_t kReleased[] = {Message::kLeftReleased, Message::kMiddleReleased,
                                                  Message::kRightReleased};
    message.button = press ? kHeld[event.button - Button1] : kReleased[event.button - Button1];
    window.deliver(message);
}

}  // namespace nevrik::platform::detail
