#pragma once

#include "freetype/FontFiles.h"
#include "io/TempFolder.h"
#include "nevrik/freetype/Font.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/platform/GlConfig.h"
#include "nevrik/platform/GlContext.h"
#include "nevrik/platform/NativeWindow.h"
#include "nevrik/platform/WindowMessage.h"
#include "platform/GlDriver.h"
#include "platform/XServer.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nevrik::gui3d::testing {

using Type = platform::WindowMessage::Type;

// A window of the test thread whose procedure logs the message types it hears
// (as letters from 'A'), with a rendering context current on it, cleared to
// black, and the graphics3d::Context that wraps it; all go with the test.
class GuiFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 200;

    void SetUp() override {
        // A window for the whole program keeps the connection and the server up.
        static auto* sKeeper = [] {
            auto* window = new platform::NativeWindow();
            platform::connectDespiteReset(
                [=] { return window->create(nullptr, 0, 0, 8, 8, "keeper", nullptr, {}); });
            return window;
        }();
        ASSERT_TRUE(sKeeper->isCreated()) << "no X display";
        ASSERT_TRUE(mConfig.choose(*sKeeper, platform::PixelFormat()));
        ASSERT_TRUE(mWindow.create(nullptr, 0, 0, kWidth, kHeight, "gui3d test", &mConfig, {&log, &mHeard}));
        mRendering = platform::GlContext::create(mWindow, mConfig);
        ASSERT_TRUE(platform::GlContext::makeCurrent({mWindow.getConnection(), mWindow.getId(), mRendering}));
        ASSERT_NE(mContext = graphics3d::Context::current(), nullptr);
        platform::keepGlDrivers();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    void TearDown() override {
        if (graphics3d::Context* context = graphics3d::Context::peek()) {
            context->dispose();
        }
        platform::GlContext::destroy(mWindow.getConnection(), mRendering);
        mWindow.destroy();
    }

    static long log(platform::NativeWindow&, const platform::WindowMessage& message, void* heard) {
        *static_cast<std::string*>(heard) += static_cast<char>('A' + static_cast<int>(message.type));
        return 0;
    }

    // Hands a message to the window's procedure, as the window system would.
    long send(Type type, int x = 0, int y = 0, std::uint32_t key = 0) {
        platform::WindowMessage message;
        message.type = type;
        message.x = x;
        message.y = y;
        message.key = key;
        return send(message);
    }
    long send(const platform::WindowMessage& message) { return mWindow.getProcedure()(mWindow, message); }

    // Channel `channel` (0 red ... 2 blue) of every pixel, row 0 at the top.
    static std::vector<std::uint8_t> pixels(int channel) {
        std::vector<std::uint8_t> rgba(kWidth * kHeight * 4);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<std::uint8_t> values(kWidth * kHeight);
        for (int i = 0; i < kWidth * kHeight; ++i) {
            values[i] = rgba[((kHeight - 1 - i / kWidth) * kWidth + i % kWidth) * 4 + channel];
        }
        return values;
    }

    // DejaVu Sans at 24 x 24 pixels through its Unicode map (codes 128-255
    // are Latin-1 there), made once for the program.
    static freetype::Font* dejaVu() {
        static object::Pointer<freetype::Font> sFont = [] {
            nevrik::testing::TempFolder folder;
            nevrik::testing::copyDejaVu(folder, "DejaVuSans.ttf", "sans.ttf");
            freetype::Descriptor descriptor("", "", 24.0f, 24.0f);
            descriptor.setCharmap(1);
            io::SystemFileFactory files(folder.path().c_str());
            return object::make<freetype::Font>(*files.open("sans.ttf", io::File::kRead), descriptor);
        }();
        return sFont.get();
    }

    platform::NativeWindow mWindow;
    platform::GlConfig mConfig;
    std::string mHeard;
    void* mRendering = nullptr;
    graphics3d::Context* mContext = nullptr;
};

}  // namespace nevrik::gui3d::testing
