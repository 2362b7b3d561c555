#include "sample/Gui.h"

#include "gui/Recorder.h"
#include "gui/TestDisplay.h"
#include "platform/GlDriver.h"

#include "nevrik/gui/OpenGL.h"
#include "nevrik/gui/Window.h"
#include "nevrik/input/MouseListener.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

#include <filesystem>
#include <functional>

namespace nevrik::sample {
namespace {

namespace fs = std::filesystem;

using Listener = input::MouseListener;

// Makes a Gui on the window thread once the view's rendering context exists
// and hands it to the test's checks there.
class GuiHost : public gui::OpenGL {
public:
    GuiHost(gui::Recorder& recorder, std::function<void(Gui&)> check)
        : gui::OpenGL(input::Rect{0.0f, 0.0f, 200.0f, 150.0f}),
          mRecorder(recorder),
          mCheck(std::move(check)) {}

    bool create() override {
        const bool made = gui::OpenGL::create();
        if (made) {
            platform::keepGlDrivers();
            auto gui = object::make<Gui>(getGraphicsContext());
            mCheck(*gui);
        }
        mRecorder.record([&] { mDone = true; });
        return made;
    }

    bool mDone = false;

private:
    gui::Recorder& mRecorder;
    std::function<void(Gui&)> mCheck;
};

float cameraDistance(const Gui& gui) {
    return gui.getNavigator().getTransform().getColumn(3).length();
}

// Runs `check` on a Gui made in a window, with a font in the current folder
// (the font factory reads it).
void withGui(const std::function<void(Gui&)>& check) {
    ASSERT_TRUE(gui::TestDisplay::shared().isOpen());
    const fs::path home = fs::current_path();
    const fs::path folder = fs::temp_directory_path() / "nevrik-gui-test";
    fs::create_directories(folder);
    fs::copy_file(NEVRIK_SAMPLE_FONT, folder / "sample.ttf", fs::copy_options::overwrite_existing);
    fs::current_path(folder);
    gui::Recorder recorder;
    auto window = object::make<gui::Window>();
    window->setSize(200, 150);
    auto host = object::make<GuiHost>(recorder, check);
    window->addView(host.get());
    EXPECT_TRUE(window->open());
    EXPECT_TRUE(recorder.waitFor([&] { return host->mDone; }));
    window->close();
    fs::current_path(home);
    fs::remove_all(folder);
}

TEST(GuiTest, OnlyTheTrackballListensAndMouseInputTurnsAndDolliesTheCameraAtOnce) {
    withGui([](Gui& gui) {
        EXPECT_STREQ(gui.className().c_str(), "Object:Handler:Messenger:Root:Gui");
        EXPECT_EQ(gui.getMouseDispatcher().getListenerCount(), 1);
        EXPECT_EQ(gui.getTrackball().getDispatcherCount(), 1);
        EXPECT_EQ(gui.getKeyboardDispatcher().getListenerCount(), 0);
        EXPECT_EQ(static_cast<const input::MouseListener&>(gui.getFlight()).getDispatcherCount(), 0);
        EXPECT_NE(gui.getFont(), nullptr);
        EXPECT_EQ(gui.getNavigator().getTransform()(2, 3), 400.0f);

        // A plain move is only remembered.
        EXPECT_TRUE(gui.mouseMoved({40.0f, 30.0f}, 0));
        EXPECT_EQ(gui.getMousePosition().x, 40.0f);
        EXPECT_EQ(gui.getMousePosition().y, 30.0f);
        EXPECT_EQ(gui.getNavigator().getTransform()(0, 3), 0.0f);

        // A left drag turns the camera about the origin, keeping its distance.
        gui.mouseButton({40.0f, 30.0f}, Listener::kLeftButton);
        gui.mouseMoved({120.0f, 60.0f}, Listener::kLeftButton);
        gui.mouseButton({120.0f, 60.0f}, Listener::kLeftReleased);
        EXPECT_NE(gui.getNavigator().getTransform()(0, 3), 0.0f);
        EXPECT_NEAR(cameraDistance(gui), 400.0f, 1e-2f);

        // The wheel moves it along its axis before the mouse moves again.
        gui.mouseWheel(120.0f, 0);
        EXPECT_GT(std::abs(cameraDistance(gui) - 400.0f), 1.0f);
    });
}

}  // namespace
}  // namespace nevrik::sample
