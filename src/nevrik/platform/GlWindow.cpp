#include "nevrik/platform/GlWindow.h"

#include "nevrik/platform/GlContext.h"
#include "nevrik/platform/detail/XConnection.h"

namespace nevrik::platform {

GlWindow::~GlWindow() {
    close();
}

bool GlWindow::open(const char* title, int width, int height, const PixelFormat& format, bool visible) {
    if (isOpen() || mWindow.isCreated()) {
        return false;
    }
    // The configuration is chosen on the thread's connection itself, so no
    // window has to exist first; the use taken here keeps it open until the
    // window holds its own.
    detail::XConnection* connection = detail::XConnection::acquire();
    if (connection == nullptr) {
        return false;
    }
    GlConfig config;
    const bool made = config.choose(connection->get(), format) &&
                      mWindow.create(nullptr, 0, 0, width, height, title, &config, {});
    connection->releaseUse();
    if (!made) {
        return false;
    }
    void* context = GlContext::create(mWindow, config);
    if (context == nullptr || !GlContext::makeCurrent({mWindow.getConnection(), mWindow.getId(), context})) {
        GlContext::destroy(mWindow.getConnection(), context);
        mWindow.destroy();
        return false;
    }
    mConfig = config;
    mContext = context;
    if (visible) {
        mWindow.show();
    }
    return true;
}

void GlWindow::close() {
    if (mContext != nullptr) {
        GlContext::destroy(mWindow.getConnection(), mContext);
        mContext = nullptr;
    }
    mWindow.destroy();
}

void GlWindow::swapBuffers() {
    if (isOpen()) {
        GlContext::swapBuffers(mWindow.getConnection(), mWindow.getId());
    }
}

}  // namespace nevrik::platform
