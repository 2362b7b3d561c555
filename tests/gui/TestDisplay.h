#pragma once

// GoogleTest before Xlib, whose macros (None, Bool ...) would clash with it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include "platform/XServer.h"

#include <poll.h>

#include <cstdint>
#include <string>

namespace nevrik::gui {

// The test's own connection to the X server: it looks at the engine's windows
// from outside and synthesises input through XTEST.
class TestDisplay {
public:
    TestDisplay() {
        platform::connectDespiteReset([&] { return (mDisplay = XOpenDisplay(nullptr)) != nullptr; });
    }
    ~TestDisplay() {
        if (mDisplay != nullptr) {
            XCloseDisplay(mDisplay);
        }
    }
    TestDisplay(const TestDisplay&) = delete;
    TestDisplay& operator=(const TestDisplay&) = delete;

    // One connection for the whole program. It also keeps the server from
    // resetting itself between tests, which it does when its last client
    // leaves, refusing connections meanwhile.
    static TestDisplay& shared() {
        static TestDisplay sDisplay;
        return sDisplay;
    }

    bool isOpen() const { return mDisplay != nullptr; }
    ::Display* get() const { return mDisplay; }

    XWindowAttributes attributes(std::uintptr_t window) {
        XWindowAttributes result{};
        XGetWindowAttributes(mDisplay, window, &result);
        return result;
    }

    std::string title(std::uintptr_t window) {
        char* name = nullptr;
        std::string result;
        if (XFetchName(mDisplay, window, &name) != 0 && name != nullptr) {
            result = name;
            XFree(name);
        }
        return result;
    }

    ::Window parentOf(std::uintptr_t window) {
        ::Window root = 0;
        ::Window parent = 0;
        ::Window* children = nullptr;
        unsigned int count = 0;
        XQueryTree(mDisplay, window, &root, &parent, &children, &count);
        if (children != nullptr) {
            XFree(children);
        }
        return parent;
    }

    // Puts a top-level window at (x, y) on the screen, above the others:
    // tests running side by side open their windows in the same corner.
    void moveAway(std::uintptr_t window, int x, int y) {
        XMoveWindow(mDisplay, window, x, y);
        XRaiseWindow(mDisplay, window);
        XSync(mDisplay, False);
    }

    // The minimum and maximum sizes the window asks the window manager for.
    XSizeHints sizeHints(std::uintptr_t window) {
        XSizeHints hints{};
        long supplied = 0;
        XGetWMNormalHints(mDisplay, window, &hints, &supplied);
        return hints;
    }

    // Moves the pointer to (x, y) in `window`.
    void movePointer(std::uintptr_t window, int x, int y) {
        int rootX = 0;
        int rootY = 0;
        ::Window child = 0;
        XTranslateCoordinates(mDisplay, window, DefaultRootWindow(mDisplay), x, y, &rootX, &rootY, &child);
        XTestFakeMotionEvent(mDisplay, DefaultScreen(mDisplay), rootX, rootY, CurrentTime);
        XSync(mDisplay, False);
    }

    void button(unsigned int button, bool press) {
        XTestFakeButtonEvent(mDisplay, button, press ? True : False, CurrentTime);
        XSync(mDisplay, False);
    }

    void key(KeySym keysym, bool press) {
        XTestFakeKeyEvent(mDisplay, XKeysymToKeycode(mDisplay, keysym), press ? True : False, CurrentTime);
        XSync(mDisplay, False);
    }

    void focus(std::uintptr_t window) {
        XSetInputFocus(mDisplay, window, RevertToPointerRoot, CurrentTime);
        XSync(mDisplay, False);
    }

    // The window manager's close box: WM_DELETE_WINDOW in a WM_PROTOCOLS message.
    void requestClose(std::uintptr_t window) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(mDisplay, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(mDisplay, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(mDisplay, window, False, NoEventMask, &event);
        XSync(mDisplay, False);
    }

    // Asks for property changes of `window`, before they are made.
    void watchProperties(std::uintptr_t window) {
        XSelectInput(mDisplay, window, PropertyChangeMask);
        XSync(mDisplay, False);
    }

    // Waits (with a generous guard) until property `name` of a watched
    // window has changed.
    bool waitForProperty(std::uintptr_t window, const char* name) {
        const Atom atom = XInternAtom(mDisplay, name, False);
        for (int turn = 0; turn < 2000; ++turn) {
            XEvent event;
            while (XCheckTypedWindowEvent(mDisplay, window, PropertyNotify, &event)) {
                if (event.xproperty.atom == atom) {
                    return true;
                }
            }
            pollfd entry{ConnectionNumber(mDisplay), POLLIN, 0};
            poll(&entry, 1, 10);
            XSync(mDisplay, False);
        }
        return false;
    }

    // The colour of pixel (x, y) of `window` as 0xRRGGBB.
    unsigned long pixel(std::uintptr_t window, int x, int y) {
        XImage* image = XGetImage(mDisplay, window, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr) {
            return 0xFFFFFFFFul;
        }
        const unsigned long value = XGetPixel(image, 0, 0) & 0xFFFFFFul;
        XDestroyImage(image);
        return value;
    }

private:
    ::Display* mDisplay = nullptr;
};

}  // namespace nevrik::gui
