#include "nevrik/platform/ServerHold.h"

#include "nevrik/platform/GlContext.h"
#include "platform/XServer.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>

namespace nevrik::platform {
namespace {

// Another program's request to destroy a window waits while the window's own
// connection holds the server, however many round trips that one makes.
TEST(ServerHoldTest, AnotherClientsRequestWaitsUntilTheHoldEnds) {
    ::Display* own = nullptr;
    ASSERT_TRUE(connectDespiteReset([&] { return (own = XOpenDisplay(nullptr)) != nullptr; }));
    ::Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    const ::Window window = XCreateSimpleWindow(own, DefaultRootWindow(own), 0, 0, 8, 8, 0, 0, 0);
    XSync(own, False);
    int width = 0;
    int height = 0;
    {
        const ServerHold hold(own);
        XDestroyWindow(other, window);
        XFlush(other);
        // Without the hold the server would serve the other client within a
        // few of these.
        int trips = 0;
        while (trips < 500 && GlContext::getDrawableSize(own, window, width, height)) {
            ++trips;
        }
        EXPECT_EQ(trips, 500);
    }
    XSync(other, False);
    EXPECT_FALSE(GlContext::getDrawableSize(own, window, width, height));
    EXPECT_EQ(width, 8);
    const ServerHold nothing(nullptr);
    XCloseDisplay(other);
    XCloseDisplay(own);
}

}  // namespace
}  // namespace nevrik::platform
