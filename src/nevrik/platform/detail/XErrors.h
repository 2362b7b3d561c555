#pragma once

#include <X11/Xlib.h>

namespace nevrik::platform::detail {

/// Catches the X errors of the requests made while it lives, on its thread's
/// connection, instead of letting Xlib end the process.
///
/// A local of the thread that makes the requests. Errors outside any trap
/// are dropped: a request that fails there has nobody to report to.
class XErrors {
public:
    /// The process's exit status when its connection to the X server breaks.
    static constexpr int kLostStatus = 1;

    explicit XErrors(::Display* display);
    XErrors(const XErrors&) = delete;
    XErrors& operator=(const XErrors&) = delete;
    /// Waits for the server so that no error of this scope lands elsewhere.
    ~XErrors();

    /// Whether any request so far has failed; waits for the server.
    bool occurred();

    /// Puts the process-wide handlers in place (once); every connection does
    /// before its first request. A broken connection ends the process with
    /// kLostStatus and one line on standard error naming the display.
    static void install();

private:
    ::Display* mDisplay;
    int mOuterErrors;
};

}  // namespace nevrik::platform::detail
