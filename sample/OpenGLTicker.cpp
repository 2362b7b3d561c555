#include "sample/OpenGLTicker.h"

namespace nevrik::sample {

OpenGLTicker::OpenGLTicker(gui::View* view) : mView(view) {
    setPeriod(kFramePeriod);
}

OpenGLTicker::~OpenGLTicker() {
    stop();
}

void OpenGLTicker::tick() {
    // A view outside a window, or without its child window yet, refuses.
    if (mView) {
        mView->invalidate();
    }
}

}  // namespace nevrik::sample
