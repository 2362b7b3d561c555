#include "nevrik/platform/NativeWindow.h"

#include "nevrik/platform/GlConfig.h"
#include "nevrik/platform/Palette.h"
#include "nevrik/platform/ThreadQueue.h"
#include "nevrik/platform/WindowEvents.h"
#include "nevrik/platform/WindowMessage.h"
#include "platform/GlDriver.h"
#include "platform/XServer.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <string>
#include <thread>

namespace nevrik::platform {
namespace {

using Type = WindowMessage::Type;

// Logs the messages a window's procedure receives.
struct Log {
    std::string kinds;
    int paints = 0;
    WindowMessage last;
    int lastSizeWidth = 0;

    static long record(NativeWindow& /*window*/, const WindowMessage& message, void* user) {
        auto& log = *static_cast<Log*>(user);
        static const char kNames[] = "CMSAPXKkhmbuwLD";
        log.kinds += kNames[static_cast<int>(message.type)];
        log.last = message;
        if (message.type == Type::Paint) {
            ++log.paints;
        }
        if (message.type == Type::Size) {
            log.lastSizeWidth = message.width;
        }
        return 7;
    }

    WindowProcedure procedure() { return {&Log::record, this}; }
};

// The loop of a window thread: messages and window events wake the same wait.
template <class Condition>
bool runUntil(Condition done) {
    ThreadQueue& queue = ThreadQueue::current();
    ThreadMessage ignored;
    while (!done()) {
        while (queue.peek(ignored)) {
        }
        WindowEvents::dispatch();
        if (done()) {
            break;
        }
        queue.wait(WindowEvents::getDescriptor());
    }
    return true;
}

// A window of the test thread for the whole program, so that its connection
// (and the server, which resets when its last client leaves) stays up.
NativeWindow& keeper() {
    static auto* sKeeper = [] {
        auto* window = new NativeWindow();
        connectDespiteReset([&] { return window->create(nullptr, 0, 0, 8, 8, "keeper", nullptr, {}); });
        return window;
    }();
    return *sKeeper;
}

class NativeWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(keeper().isCreated()) << "no X display"; }
};

TEST_F(NativeWindowTest, ProcedureHearsCreateFirstAndDestroyLastAndCanBeReplaced) {
    Log log;
    NativeWindow window;
    ASSERT_TRUE(window.create(nullptr, 0, 0, 40, 30, "log", nullptr, log.procedure()));
    EXPECT_EQ(log.kinds, "C");
    EXPECT_NE(window.getId(), 0u);
    EXPECT_EQ(window.getConnection(), keeper().getConnection()) << "one connection per thread";

    Log replacement;
    const WindowProcedure previous = window.setProcedure(replacement.procedure());
    EXPECT_EQ(previous.user, &log);
    window.setProcedure(previous);
    EXPECT_TRUE(window.destroy());
    EXPECT_EQ(log.kinds, "CD");
    EXPECT_EQ(replacement.kinds, "");
    EXPECT_EQ(window.getId(), 0u);
    EXPECT_FALSE(window.destroy());
}

TEST_F(NativeWindowTest, FindsOnlyTheCallingThreadsLiveWindowsById) {
    NativeWindow window;
    ASSERT_TRUE(window.create(nullptr, 0, 0, 20, 20, "found", nullptr, {}));
    const std::uintptr_t id = window.getId();
    EXPECT_EQ(NativeWindow::find(id), &window);
    EXPECT_EQ(NativeWindow::find(0), nullptr);
    NativeWindow* foundElsewhere = &window;
    std::thread other([&] { foundElsewhere = NativeWindow::find(id); });
    other.join();
    EXPECT_EQ(foundElsewhere, nullptr) << "another thread's windows are not its own";
    ASSERT_TRUE(window.destroy());
    EXPECT_EQ(NativeWindow::find(id), nullptr);
}

TEST_F(NativeWindowTest, RefusesWhatItCannotMake) {
    NativeWindow window;
    NativeWindow parent;
    EXPECT_FALSE(window.create(nullptr, 0, 0, 0, 30, "flat", nullptr, {}));
    EXPECT_FALSE(window.create(&parent, 0, 0, 10, 10, "orphan", nullptr, {})) << "the parent does not exist";
    ASSERT_TRUE(window.create(nullptr, 0, 0, 10, 10, "once", nullptr, {}));
    EXPECT_FALSE(window.create(nullptr, 0, 0, 10, 10, "twice", nullptr, {}));
    bool destroyedElsewhere = true;
    std::thread other([&] { destroyedElsewhere = window.destroy(); });
    other.join();
    EXPECT_FALSE(destroyedElsewhere) << "only the owning thread destroys";
    EXPECT_TRUE(window.isCreated());
    EXPECT_FALSE(parent.invalidate());
}

TEST_F(NativeWindowTest, InvalidationsFromAnotherThreadCoalesceIntoOnePaint) {
    Log log;
    NativeWindow window;
    ASSERT_TRUE(window.create(nullptr, 0, 0, 40, 30, "paint", nullptr, log.procedure()));
    window.show();
    runUntil([&] { return log.paints >= 1; });
    const int paints = log.paints;
    std::thread other([&] {
        for (int i = 0; i < 5; ++i) {
            window.invalidate();
        }
    });
    other.join();
    runUntil([&] { return log.paints > paints; });
    WindowEvents::dispatch();
    EXPECT_EQ(log.paints, paints + 1);
    EXPECT_EQ(log.last.width, 40) << "the whole client area";
    EXPECT_EQ(log.last.height, 30);
}

TEST_F(NativeWindowTest, ProcedureThatDestroysItsWindowHearsNothingMore) {
    struct Closer : Log {
        NativeWindow window;
        static long record(NativeWindow& window, const WindowMessage& message, void* user) {
            Log::record(window, message, user);
            if (message.type == Type::KeyDown) {
                window.destroy();
            }
            return 0;
        }
    } closer;
    ASSERT_TRUE(closer.window.create(nullptr, 0, 0, 40, 30, "closer", nullptr, {&Closer::record, &closer}));
    const std::uintptr_t id = closer.window.getId();

    // A key press that types a character: the key, then its character.
    ::Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    XEvent press{};
    press.xkey.type = KeyPress;
    press.xkey.window = id;
    press.xkey.root = DefaultRootWindow(other);
    press.xkey.keycode = XKeysymToKeycode(other, XK_a);
    press.xkey.same_screen = True;
    XSendEvent(other, id, False, KeyPressMask, &press);
    XCloseDisplay(other);

    runUntil([&] { return !closer.window.isCreated(); });
    WindowEvents::dispatch();
    EXPECT_EQ(closer.kinds, "CKD") << "no character after the window is gone";
}

TEST_F(NativeWindowTest, ChildReportsMovesAndSizesOnlyWhenTheyChange) {
    Log log;
    NativeWindow window;
    ASSERT_TRUE(window.create(&keeper(), 1, 2, 4, 3, "child", nullptr, log.procedure()));
    window.setFrame(5, 6, 7, 8);
    runUntil([&] { return log.lastSizeWidth == 7; });
    EXPECT_EQ(log.kinds, "CMS");
    window.setFrame(5, 6, 7, 8);
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    // A round trip: whatever the server had to say has arrived.
    ASSERT_TRUE(window.getScreenRect(x, y, width, height));
    WindowEvents::dispatch();
    EXPECT_EQ(log.kinds, "CMS");
    EXPECT_EQ(width, 7);
    EXPECT_EQ(height, 8);
}

TEST_F(NativeWindowTest, SizeAskedFromAnotherThreadIsCarriedOutByTheOwner) {
    Log log;
    NativeWindow window;
    ASSERT_TRUE(window.create(nullptr, 0, 0, 40, 30, "resize", nullptr, log.procedure()));
    std::thread other([&] {
        window.setClientSize(90, 70);
        window.setTitle("far away");
    });
    other.join();
    runUntil([&] { return log.lastSizeWidth == 90; });
    EXPECT_EQ(log.last.height, 70);
}

TEST_F(NativeWindowTest, ConfigurationGivesAtLeastTheRequestedBitsOrNothing) {
    GlConfig config;
    PixelFormat impossible;
    impossible.auxBuffers = 64;
    EXPECT_FALSE(config.choose(keeper(), impossible));
    EXPECT_FALSE(config.isChosen());
    NativeWindow closed;
    EXPECT_FALSE(config.choose(closed, PixelFormat{}));

    PixelFormat requested;
    requested.depthBits = 24;
    ASSERT_TRUE(config.choose(keeper(), requested));
    keepGlDrivers();
    EXPECT_GE(config.getActual().depthBits, 24);
    EXPECT_GE(config.getActual().colourBits, 24);
    EXPECT_FALSE(config.isColourIndex());
    EXPECT_FALSE(config.needsPalette());

    NativeWindow window;
    ASSERT_TRUE(window.create(nullptr, 0, 0, 16, 16, "gl", &config, {}));
    Palette palette;
    const Palette::Entry entries[2] = {};
    EXPECT_FALSE(palette.create(window, entries, 2)) << "true-colour windows take no palette";
    EXPECT_FALSE(palette.realize());
}

}  // namespace
}  // namespace nevrik::platform
