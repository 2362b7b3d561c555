#pragma once

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/platform/GlConfig.h"
#include "nevrik/platform/GlContext.h"
#include "nevrik/platform/NativeWindow.h"
#include "platform/GlDriver.h"
#include "platform/XServer.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

namespace nevrik::graphics3d {

// A 64 x 48 window of the test thread with a rendering context current on
// it, and the Context that wraps it; both go when the test ends.
class GlFixture : public ::testing::Test {
protected:
    void SetUp() override {
        platform::NativeWindow& anchor = keeper();
        ASSERT_TRUE(anchor.isCreated()) << "no X display";
        platform::PixelFormat format;
        format.depthBits = 16;
        ASSERT_TRUE(mConfig.choose(anchor, format));
        ASSERT_TRUE(mWindow.create(nullptr, 0, 0, 64, 48, "graphics3d test", &mConfig, {}));
        mRendering = platform::GlContext::create(mWindow, mConfig);
        ASSERT_NE(mRendering, nullptr);
        ASSERT_TRUE(platform::GlContext::makeCurrent(binding()));
        mContext = Context::current();
        ASSERT_NE(mContext, nullptr);
        platform::keepGlDrivers();
    }

    void TearDown() override {
        if (Context* context = Context::peek()) {
            context->dispose();
        }
        platform::GlContext::destroy(mWindow.getConnection(), mRendering);
        mWindow.destroy();
    }

    // A window of the test thread for the whole program: it keeps the
    // thread's connection (and the configurations chosen on it) open, and
    // the server from resetting between tests.
    static platform::NativeWindow& keeper() {
        static auto* sKeeper = [] {
            auto* window = new platform::NativeWindow();
            platform::connectDespiteReset(
                [&] { return window->create(nullptr, 0, 0, 8, 8, "keeper", nullptr, {}); });
            return window;
        }();
        return *sKeeper;
    }

    platform::GlContext::Binding binding() const {
        return {mWindow.getConnection(), mWindow.getId(), mRendering};
    }

    static bool isEnabled(GLenum state) { return glIsEnabled(state) == GL_TRUE; }

    static GLint integer(GLenum query) {
        GLint value = 0;
        glGetIntegerv(query, &value);
        return value;
    }

    platform::NativeWindow mWindow;
    platform::GlConfig mConfig;
    void* mRendering = nullptr;
    Context* mContext = nullptr;
};

}  // namespace nevrik::graphics3d
