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

// Opens a main window when it runs; the close box then arrives from outside
// as the window manager's message, once the loop takes messages.
class ClosingApplication : public application::Application {
public:
    bool onStart() override {
        mWindow = object::make<MainWindow>();
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
    // Nothing runs to take a QUIT yet.
    EXPECT_FALSE(object::make<MainWindow>()->closeRequested());
    auto application = object::make<ClosingApplication>();
    ASSERT_TRUE(application->run());
    EXPECT_TRUE(application->mOpened);
    EXPECT_TRUE(application->mOpenAtQuit);
}

}  // namespace
}  // namespace nevrik::sample
