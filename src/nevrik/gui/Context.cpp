#include "nevrik/gui/Context.h"

namespace nevrik::gui {

void Context::set(platform::NativeWindow* window, void* deviceContext) noexcept {
    mWindow = window;
    mDeviceContext = deviceContext;
}

}  // namespace nevrik::gui
