#include "nevrik/platform/detail/XErrors.h"

#include <mutex>

namespace nevrik::platform::detail {
namespace {

thread_local int tErrors = 0;

int count(::Display* /*display*/, XErrorEvent* /*error*/) {
    ++tErrors;
    return 0;
}

}  // namespace

void XErrors::install() {
    static std::once_flag sInstalled;
    std::call_once(sInstalled, [] { XSetErrorHandler(&count); });
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
