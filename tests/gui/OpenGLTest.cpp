#include "nevrik/gui/OpenGL.h"

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/gui/Window.h"
#include "nevrik/object/Pointer.h"
#include "platform/GlDriver.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include "Recorder.h"
#include "TestDisplay.h"

namespace nevrik::gui {
namespace {

using object::Pointer;

// Clears to green; from the second frame on it first reads back the frame
// swapped last (the software renderer keeps it in the back buffer), and the
// viewport it renders with.
class ClearingView : public OpenGL {
public:
    ClearingView(Recorder& recorder, const input::Rect& frame) : OpenGL(frame), mRecorder(recorder) {}

    void render() override {
        unsigned char front[4] = {};
        GLint viewport[4] = {};
        if (mFrames > 0) {
            glReadBuffer(GL_BACK);
            glReadPixels(2, 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, front);
        }
        glGetIntegerv(GL_VIEWPORT, viewport);
        glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        graphics3d::Context* current = graphics3d::Context::peek();
        platform::keepGlDrivers();
        mRecorder.record([&] {
            ++mFrames;
            std::copy(front, front + 4, mFront);
            std::copy(viewport, viewport + 4, mViewport);
            mCurrentWasOwn = current == getGraphicsContext();
        });
    }

    bool frameChanged(const input::Rect& frame) override {
        OpenGL::frameChanged(frame);
        mRecorder.record([&] { mFrame = frame; });
        return true;
    }

    int mFrames = 0;
    input::Rect mFrame;
    unsigned char mFront[4] = {};
    GLint mViewport[4] = {};
    bool mCurrentWasOwn = false;

private:
    Recorder& mRecorder;
};

class OpenGLTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mDisplay.isOpen()) << "no X display";
        mWindow = object::make<Window>();
        mWindow->setSize(200.0f, 150.0f);
        mView = object::make<ClearingView>(mRecorder, input::Rect{10.0f, 10.0f, 64.0f, 48.0f});
    }

    void TearDown() override {
        if (mWindow->isOpen()) {
            mWindow->close();
        }
    }

    // Waits for the next frame after asking for it.
    bool nextFrame() {
        const int frames = mRecorder.read([&] { return mView->mFrames; });
        mView->invalidate();
        return mRecorder.waitFor([&] { return mView->mFrames > frames; });
    }

    Recorder mRecorder;
    TestDisplay& mDisplay = TestDisplay::shared();
    Pointer<Window> mWindow;
    Pointer<ClearingView> mView;
};

TEST_F(OpenGLTest, ClearedFrameIsOnScreenAfterTheSwap) {
    ASSERT_TRUE(mWindow->addView(mView.get()));
    ASSERT_TRUE(mWindow->open());
    ASSERT_TRUE(mRecorder.waitFor([&] { return mView->mFrames >= 1; }));
    // Where no other test's window covers it: the screen is read back.
    mDisplay.moveAway(mWindow->getNativeWindow().getId(), 900, 60);
    ASSERT_TRUE(nextFrame());
    EXPECT_EQ(mView->mFront[0], 0);
    EXPECT_EQ(mView->mFront[1], 255);
    EXPECT_EQ(mView->mFront[2], 0);
    EXPECT_TRUE(mView->mCurrentWasOwn) << "the view's context is current while it renders";
    EXPECT_EQ(mDisplay.pixel(mView->getNativeWindow().getId(), 3, 3), 0x00FF00ul);
    EXPECT_EQ(mView->mViewport[2], 64);
    EXPECT_EQ(mView->mViewport[3], 48);
}

TEST_F(OpenGLTest, ActualPixelFormatBitsAreReadBackAndTheContextWrapsTheViewsOwn) {
    mView->getPixelFormat().depthBits = 16;
    mView->getPixelFormat().stencilBits = 8;
    mWindow->addView(mView.get());
    ASSERT_TRUE(mWindow->open());
    ASSERT_TRUE(mRecorder.waitFor([&] { return mView->mFrames >= 1; }));
    const platform::PixelFormat& actual = mView->getPixelFormat();
    EXPECT_GE(actual.colourBits, 24);
    EXPECT_GE(actual.depthBits, 16);
    EXPECT_GE(actual.stencilBits, 8);
    EXPECT_EQ(actual.auxBuffers, 0);
    EXPECT_FALSE(mView->hasPalette()) << "a true-colour screen needs no palette";

    graphics3d::Context* context = mView->getGraphicsContext();
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->getRenderingContext(), mView->getRenderingContext());
    EXPECT_EQ(context->getWindow(), mView->getNativeWindow().getId());
    EXPECT_EQ(context->getSize()[0], 64);
    EXPECT_EQ(context->getSize()[1], 48);
}

TEST_F(OpenGLTest, ResizedViewRendersWithTheNewViewport) {
    mView->setLayoutFlags(View::kFill);
    mWindow->addView(mView.get());
    ASSERT_TRUE(mWindow->open());
    ASSERT_TRUE(mRecorder.waitFor([&] { return mView->mFrames >= 1; }));
    mWindow->setSize(250.0f, 170.0f);
    ASSERT_TRUE(
        mRecorder.waitFor([&] { return mView->mFrame.width == 114.0f && mView->mFrame.height == 68.0f; }));
    ASSERT_TRUE(nextFrame());
    EXPECT_EQ(mView->mViewport[2], 114);
    EXPECT_EQ(mView->mViewport[3], 68);
    EXPECT_EQ(mView->getGraphicsContext()->getSize()[0], 114) << "made current before the frame";
}

TEST_F(OpenGLTest, ClosingLetsGoOfTheContextAndReopeningMakesAFreshOne) {
    mWindow->addView(mView.get());
    ASSERT_TRUE(mWindow->open());
    ASSERT_TRUE(mRecorder.waitFor([&] { return mView->mFrames >= 1; }));
    ASSERT_TRUE(mWindow->close());
    EXPECT_EQ(mView->getGraphicsContext(), nullptr);
    EXPECT_EQ(mView->getRenderingContext(), nullptr);
    EXPECT_FALSE(mView->invalidate());

    const int frames = mView->mFrames;
    ASSERT_TRUE(mWindow->open());
    ASSERT_TRUE(mRecorder.waitFor([&] { return mView->mFrames > frames; }));
    EXPECT_TRUE(mView->mCurrentWasOwn);
    ASSERT_TRUE(nextFrame());
    EXPECT_EQ(mView->mFront[1], 255);
}

}  // namespace
}  // namespace nevrik::gui
