#pragma once

#include <X11/Xlib.h>

#include <bitset>
#include <cstdint>
#include <unordered_map>

namespace nevrik::platform {
class NativeWindow;
}

namespace nevrik::platform::detail {

/// One thread's connection to the X server, shared by the native windows that
/// thread owns; dispatching turns its events into window messages.
///
/// Made by the first window of a thread and closed when the last one goes
/// (or the thread ends). Used only by its thread.
class XConnection final {
public:
    /// The calling thread's connection, opened on the first call, with one
    /// more user; null when no X server can be reached.
    static XConnection* acquire();
    /// The calling thread's connection, or null; never opens one.
    static XConnection* peek() noexcept;
    /// Drops one user. The last one closes the connection, once a dispatch
    /// that is running has returned.
    void releaseUse();
    /// Closes the calling thread's connection whatever its users, as the
    /// thread ends; its queue is left alone, since it may be gone already.
    static void abandon();

    void add(NativeWindow* window);
    void remove(NativeWindow* window);
    /// The window `id` of this connection, or null.
    NativeWindow* find(Window id) const noexcept;

    int getDescriptor() const;
    /// Handles every event that has arrived, without blocking.
    void dispatch();

    ::Display* get() const noexcept { return mDisplay; }
    Atom getDeleteAtom() const noexcept { return mDeleteWindow; }
    Atom getProtocolsAtom() const noexcept { return mProtocols; }

private:
    explicit XConnection(::Display* display);
    ~XConnection();

    void close();
    void handle(XEvent& event);
    void handleKey(NativeWindow& window, XKeyEvent& event);
    void handleButton(NativeWindow& window, const XButtonEvent& event, bool press);
    void handleConfigure(NativeWindow& window, const XConfigureEvent& event);
    // One Paint for every window with exposures or a request.
    void paintPending();
    // Whether the release is half of an auto-repeat (release and press of
    // the same key with the same time stamp).
    bool isRepeatRelease(const XKeyEvent& release);
    // Whether `window` still is the window `id`: a procedure may destroy
    // the window whose event is being handled, between two messages.
    bool isAlive(Window id, const NativeWindow* window) const;
    std::uint32_t characterModifiers() const;

    ::Display* mDisplay;
    Atom mDeleteWindow;
    Atom mProtocols;
    int mUsers = 0;
    int mDispatching = 0;
    std::unordered_map<Window, NativeWindow*> mWindows;
    // Keys held down, by key code: a press of a held key is a repeat.
    std::bitset<256> mKeysDown;
    // Key codes of the modifier keys that characters report.
    struct ModifierKey {
        KeyCode code;
        std::uint32_t bit;
    };
    ModifierKey mModifierKeys[9] = {};
};

}  // namespace nevrik::platform::detail
