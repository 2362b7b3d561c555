#include "nevrik/platform/GlWindow.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/FrameBuffer.h"
#include "nevrik/platform/GlContext.h"
#include "platform/GlDriver.h"
#include "platform/XServer.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace nevrik::graphics3d {
namespace {

// The red and blue bytes of pixel (x, y), counted from the top-left.
std::uint32_t redBlue(graphics::Image& image, int x, int y) {
    const std::uint8_t* pixel = image.lock() + y * image.getPitch() + x * 4;
    image.unlock();
    return static_cast<std::uint32_t>(pixel[0]) << 8 | pixel[2];
}

TEST(GlWindowTest, OpensCurrentInOneCallAndReadsBackWhatWasDrawnTopRowFirst) {
    platform::GlWindow window;
    platform::PixelFormat format;
    format.depthBits = 16;
    ASSERT_TRUE(platform::connectDespiteReset([&] {
        return window.open("gl window", 64, 48, format, false);
    })) << "no X display";
    platform::keepGlDrivers();
    EXPECT_FALSE(window.open("twice", 64, 48, format, false));
    const platform::GlContext::Binding current = platform::GlContext::current();
    EXPECT_EQ(current.context, window.getContext());
    EXPECT_EQ(current.drawable, window.getWindow().getId());
    EXPECT_GE(window.getFormat().depthBits, 16);

    // Blue everywhere, red in a 16 x 8 block at the top left (GL counts rows
    // from the bottom).
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 40, 16, 8);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);

    object::Pointer<graphics::Image> image = FrameBuffer::readPixels(0, 0, 64, 48);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->getFormat(), graphics::PIXEL_RGBA8);
    EXPECT_EQ(image->getWidth(), 64);
    EXPECT_EQ(image->getHeight(), 48);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(redBlue(*image, x, y), x < 16 && y < 8 ? 0xFF00u : 0x00FFu) << x << ", " << y;
        }
    }
    // A part: the odd sizes need no row padding.
    image = FrameBuffer::readPixels(13, 37, 5, 11);
    ASSERT_TRUE(image);
    EXPECT_EQ(redBlue(*image, 2, 0), 0xFF00u);
    EXPECT_EQ(redBlue(*image, 3, 0), 0x00FFu);
    EXPECT_EQ(redBlue(*image, 2, 8), 0x00FFu);
    EXPECT_FALSE(FrameBuffer::readPixels(0, 0, 0, 4));
    window.swapBuffers();

    Context::current()->dispose();
    window.close();
    EXPECT_FALSE(window.isOpen());
    EXPECT_EQ(platform::GlContext::current().context, nullptr);
    EXPECT_FALSE(FrameBuffer::readPixels(0, 0, 1, 1));

    // Refusals leave the window closed and ready for another try.
    platform::PixelFormat impossible;
    impossible.auxBuffers = 64;
    EXPECT_FALSE(window.open("impossible", 8, 8, impossible, false));
    EXPECT_FALSE(window.open("empty", 0, 8, format, false));
    EXPECT_FALSE(window.getWindow().isCreated());
    // By default with a depth buffer: 3D drawing without one shows hidden faces.
    EXPECT_TRUE(window.open("again", 8, 8));
    EXPECT_GE(window.getFormat().depthBits, 24);
    Context::current()->dispose();
}

}  // namespace
}  // namespace nevrik::graphics3d
