#include "nevrik/platform/ServerHold.h"

#include <X11/Xlib.h>

namespace nevrik::platform {

ServerHold::ServerHold(void* display) noexcept : mDisplay(display) {
    if (mDisplay != nullptr) {
        // In force on return: the server has taken the hold before any
        // request of another client that comes after this call.
        XGrabServer(static_cast<::Display*>(mDisplay));
        XSync(static_cast<::Display*>(mDisplay), False);
    }
}

ServerHold::~ServerHold() {
    if (mDisplay != nullptr) {
        XUngrabServer(static_cast<::Display*>(mDisplay));
        XFlush(static_cast<::Display*>(mDisplay));
    }
}

}  // namespace nevrik::platform
