#include "nevrik/platform/detail/XErrors.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace nevrik::platform::detail {
namespace {

thread_local int tErrors = 0;

int count(::Display* /*display*/, XErrorEvent* /*error*/) {
    ++tErrors;
    return 0;
}

// Xlib ends the process once this returns, and would say so in three lines
// of its own: say it in one that names the display, and end at once, while
// other threads may still be drawing.
int lost(::Display* display) {
    std::fprintf(stderr, "Lost the connection to the X display \"%s\"\n", DisplayString(display));
    std::fflush(stderr);
    std::_Exit(XErrors::kLostStatus);
}

}  // namespace

void XErrors::install() {
    static std::once_flag sInstalled;
    std::call_once(sInstalled, [] {
        XSetErrorHandler(&count);
        XSetIOErrorHandler(&lost);
    });
}

XErrors::XErrors(::Display* display) : mDisplay(display), mOuterErrors(tErrors) {
    install();
    XSync(mDisplay, False);
    tErrors = 0;
}

XErrors::~XErrors() {
    XSync(mDisplay, False);
    tErrors = mOuterErrors;
}

bool XErrors::occurred() {
    XSync(mDisplay, False);
    return tErrors != 0;
}

}  // namespace nevrik::platform::detail
