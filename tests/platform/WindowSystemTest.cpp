#include "nevrik/platform/WindowSystem.h"

#include "GlDriver.h"
#include "XServer.h"

#include "nevrik/platform/GlConfig.h"
#include "nevrik/platform/NativeWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace nevrik::platform {
namespace {

TEST(WindowSystemTest, SaysNothingWhenOpenGLServesTheFormatElseNamesTheDisplayAndWhatIsMissing) {
    const char* display = std::getenv("DISPLAY");
    ASSERT_NE(display, nullptr);
    const std::string name = display;
    PixelFormat usual;
    usual.colourBits = 24;
    usual.alphaBits = 8;
    usual.depthBits = 24;
    usual.stencilBits = 8;
    // A connection of this thread's own holds the drivers that the checks
    // load, for the sanitizer's leak check.
    NativeWindow keeper;
    ASSERT_TRUE(
        connectDespiteReset([&] { return keeper.create(nullptr, 0, 0, 16, 16, "keeper", nullptr, {}); }));
    GlConfig config;
    ASSERT_TRUE(config.choose(keeper, usual));
    keepGlDrivers();
    EXPECT_EQ(WindowSystem::checkOpenGL(usual), "");

    PixelFormat greedy = usual;
    greedy.stencilBits = 64;
    EXPECT_EQ(WindowSystem::checkOpenGL(greedy), "The X display \"" + name +
                                                     "\" offers no OpenGL window with 24 colour, 8 alpha, "
                                                     "24 depth and 64 stencil bits");

    unsetenv("DISPLAY");
    EXPECT_EQ(WindowSystem::checkOpenGL(usual), "No X display: DISPLAY is not set");
    setenv("DISPLAY", ":65000", 1);
    EXPECT_EQ(WindowSystem::checkOpenGL(usual), "Cannot open the X display \":65000\"");
    setenv("DISPLAY", name.c_str(), 1);
}

}  // namespace
}  // namespace nevrik::platform
