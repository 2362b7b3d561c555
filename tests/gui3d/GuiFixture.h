#pragma once

#include "freetype/FontFiles.h"
#include "io/TempFolder.h"
#include "nevrik/freetype/Font.h"
#include "nevrik/graphics3d/Context.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/platform/GlConfig.h"
#include "nevrik/platform/GlContext.h"
#include "nevrik/platform/NativeWindow.h"
#include "nevrik/platform/WindowMessage.h"
#include "platform/GlDriver.h"
#include "platform/XServer.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace nevrik::gui3d::testing {

using Type = platform::WindowMessage::Type;

// The messages a window procedure hears, one letter each (Create, Size, Paint,
// mouse Move, Button, Leave, Destroy, and '?' for the rest).
struct ProcedureLog {
    std::string heard;

    static long record(platform::NativeWindow& /*window*/, const platform::WindowMessage& message, void* user) {
        char letter = '?';
        switch (message.type) {
            case Type::Create: letter = 'C'; break;
            case Type::Size: letter = 'S'; break;
            case Type::Paint: letter = 'P'; break;
            case Type::MouseMove: letter = 'M'; break;
            case Type::ButtonDown: letter = 'B'; break;
            case Type::MouseLeave: letter = 'L'; break;
            case Type::Destroy: letter = 'D'; break;
            default: break;
        }
        static_cast<ProcedureLog*>(user)->heard += letter;
        return 0;
    }

    platform::WindowProcedure procedure() { return {&ProcedureLog::record, this}; }
};

// A kWidth x kHeight window of the test thread whose procedure logs, with a
// rendering context current on it, cleared to transparent black, and the
// graphics3d::Context that wraps it; all go when the test ends.
class GuiFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 200;

    void SetUp() override {
        platform::NativeWindow& anchor = keeper();
        ASSERT_TRUE(anchor.isCreated()) << "no X display";
        platform::PixelFormat format;
        ASSERT_TRUE(mConfig.choose(anchor, format));
        ASSERT_TRUE(mWindow.create(nullptr, 0, 0, kWidth, kHeight, "gui3d test", &mConfig, mLog.procedure()));
        mRendering = platform::GlContext::create(mWindow, mConfig);
        ASSERT_NE(mRendering, nullptr);
        ASSERT_TRUE(platform::GlContext::makeCurrent({mWindow.getConnection(), mWindow.getId(), mRendering}));
        mContext = graphics3d::Context::current();
        ASSERT_NE(mContext, nullptr);
        platform::keepGlDrivers();
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    void TearDown() override {
        if (graphics3d::Context* context = graphics3d::Context::peek()) {
            context->dispose();
        }
        platform::GlContext::destroy(mWindow.getConnection(), mRendering);
        mWindow.destroy();
    }

    // Hands `message` to the window's procedure, as the window system would.
    long send(const platform::WindowMessage& message) { return mWindow.getProcedure()(mWindow, message); }

    static platform::WindowMessage message(Type type, int x = 0, int y = 0) {
        platform::WindowMessage made;
        made.type = type;
        made.x = x;
        made.y = y;
        return made;
    }

    // Channel `channel` (0 red ... 3 alpha) of every pixel, row 0 at the top.
    static std::vector<std::uint8_t> pixels(int channel = 0) {
        std::vector<std::uint8_t> rgba(std::size_t{kWidth} * kHeight * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<std::uint8_t> red(std::size_t{kWidth} * kHeight);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                red[std::size_t{kWidth} * y + x] = rgba[(std::size_t{kWidth} * (kHeight - 1 - y) + x) * 4 + channel];
            }
        }
        return red;
    }

    // DejaVu Sans at 24 x 24 pixels through its Unicode map (codes 128-255
    // are Latin-1 there), made once for the program.
    static freetype::Font* dejaVu() {
        static object::Pointer<freetype::Font> sFont = [] {
            nevrik::testing::TempFolder folder;
            nevrik::testing::copyDejaVu(folder, "DejaVuSans.ttf", "sans.ttf");
            io::SystemFileFactory files(folder.path().c_str());
            object::Pointer<io::File> file = files.open("sans.ttf", io::File::kRead);
            freetype::Descriptor descriptor("", "", 24.0f, 24.0f);
            descriptor.setCharmap(1);
            return object::Pointer<freetype::Font>::adopt(new freetype::Font(*file, descriptor));
        }();
        return sFont.get();
    }

    platform::NativeWindow mWindow;
    platform::GlConfig mConfig;
    ProcedureLog mLog;
    void* mRendering = nullptr;
    graphics3d::Context* mContext = nullptr;

private:
    // A window of the test thread for the whole program: it keeps the
    // thread's connection open and the server from resetting between tests.
    static platform::NativeWindow& keeper() {
        static auto* sKeeper = [] {
            auto* window = new platform::NativeWindow();
            platform::connectDespiteReset([&] { return window->create(nullptr, 0, 0, 8, 8, "keeper", nullptr, {}); });
            return window;
        }();
        return *sKeeper;
    }
};

}  // namespace nevrik::gui3d::testing
