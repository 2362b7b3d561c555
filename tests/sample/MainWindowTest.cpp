#include "sample/MainWindow.h"

#include "gui/TestDisplay.h"

#include "nevrik/application/Application.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace nevrik::sample {
namespace {

TEST(MainWindowTest, StartsAsTheSampleWindow) {
    auto window = object::Pointer<MainWindow>::adopt(new MainWindow());
    EXPECT_STREQ(window->getTitle().c_str(), "Nevrik");
    EXPECT_EQ(window->getFrame().width, 600.0f);
    EXPECT_EQ(window->getFrame().height, 500.0f);
    EXPECT_EQ(window->getMinimumSize().width, 256.0f);
    EXPECT_EQ(window->getMinimumSize().height, 256.0f);
    EXPECT_STREQ(window->className().c_str(), "Object:Handler:Messenger:Looper:Window:MainWindow");
    // Nothing runs to take a QUIT.
    EXPECT_FALSE(window->closeRequested());
}

// Opens a main window when it runs; the close box then arrives from outside
// as the window manager's message, once the loop takes messages.
class ClosingApplication : public application::Application {
public:
    bool onStart() override {
        mWindow = object::Pointer<MainWindow>::adopt(new MainWindow());
        mOpened = mWindow->open();
        const std::uintptr_t id = mWindow->getNativeWindow().getId();
        mCloser = std::thread([this, id] {
            // run() takes posts only after onStart() returns; a QUIT posted
            // before would be refused and the loop would wait for ever.
            const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (getThread() == nullptr && std::chrono::steady_clock::now() < guard) {
                std::this_thread::yield();
            }
            gui::TestDisplay::shared().requestClose(id);
        });
        return true;
    }
    bool onQuit() override {
        mCloser.join();
        mOpenAtQuit = mWindow->isOpen();
        mWindow->close();
        mWindow.reset();
        return true;
    }

    object::Pointer<MainWindow> mWindow;
    std::thread mCloser;
    bool mOpened = false;
    bool mOpenAtQuit = false;
};

TEST(MainWindowTest, CloseBoxAsksTheApplicationToQuitAndLeavesTheWindowOpen) {
    ASSERT_TRUE(gui::TestDisplay::shared().isOpen());
    auto application = object::Pointer<ClosingApplication>::adopt(new ClosingApplication());
    ASSERT_TRUE(application->run());
    EXPECT_TRUE(application->mOpened);
    EXPECT_TRUE(application->mOpenAtQuit);
}

}  // namespace
}  // namespace nevrik::sample
