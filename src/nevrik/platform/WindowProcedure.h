#pragma once

namespace nevrik::platform {

class NativeWindow;
struct WindowMessage;

/// What a native window calls for each of its messages: a function and the
/// pointer it is given back (the engine object behind the window).
///
/// A plain value. A caller that replaces a window's procedure keeps the old
/// one, passes it the messages it does not handle, and may put it back later.
struct WindowProcedure {
    /// Returns the message's answer; 0 when handled, by convention.
    using Function = long (*)(NativeWindow& window, const WindowMessage& message, void* user);

    Function function = nullptr;
    void* user = nullptr;

    /// Calls the procedure; a window without one answers 0.
    long operator()(NativeWindow& window, const WindowMessage& message) const {
        return function != nullptr ? function(window, message, user) : 0;
    }
};

}  // namespace nevrik::platform
