#include "sample/Gui.h"

#include "gui/Recorder.h"
#include "gui/TestDisplay.h"
#include "io/TempFolder.h"
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
    const testing::TempFolder temp;
    const fs::path& folder = temp.path();
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

        // The wheel moves it along its axis before the mouse moves again:
        // forward, a fifth of the way to the pivot.
        gui.mouseWheel(120.0f, 0);
        EXPECT_NEAR(cameraDistance(gui), 320.0f, 1e-2f);
    });
}

TEST(GuiTest, DollyNeverReachesThePivotPanFollowsTheCursorAndKeysGoHomeOrToggleStatistics) {
    withGui([](Gui& gui) {
        const math::Matrix4<float> home = gui.getNavigator().getTransform();
        // Turn a little, so that the camera's axes are not the world's.
        gui.mouseMoved({100.0f, 75.0f}, 0);
        gui.mouseButton({100.0f, 75.0f}, Listener::kLeftButton);
        gui.mouseMoved({130.0f, 95.0f}, Listener::kLeftButton);
        gui.mouseButton({130.0f, 95.0f}, Listener::kLeftReleased);
        const math::Matrix4<float> turned = gui.getNavigator().getTransform();
        const math::Vector3<float> axis = turned.getColumn(2);

        // A middle drag upwards dollies in as the wheel does, downwards out.
        const float start = cameraDistance(gui);
        gui.mouseMoved({100.0f, 75.0f}, 0);
        gui.mouseMoved({100.0f, 75.0f - Gui::kDollyPixels}, Listener::kMiddleButton);
        EXPECT_NEAR(cameraDistance(gui), start * 0.8f, 1e-2f);
        gui.mouseMoved({100.0f, 75.0f + Gui::kDollyPixels}, Listener::kMiddleButton);
        EXPECT_NEAR(cameraDistance(gui), start / 0.8f, 1e-2f);
        EXPECT_EQ(gui.getNavigator().getTransform().getColumn(0), turned.getColumn(0)) << "no turn";

        // Every click takes a fifth of what is left, down to a bound: the
        // camera stays on its side of the pivot, on the same line, however
        // many come.
        float distance = cameraDistance(gui);
        for (int click = 0; click < 50; ++click) {
            gui.mouseWheel(120.0f, 0);
            const math::Vector3<float> position = gui.getNavigator().getTransform().getColumn(3);
            EXPECT_LE(cameraDistance(gui), distance);
            EXPECT_GT(position.dot(axis), 0.0f);
            EXPECT_NEAR(position.cross(axis).length(), 0.0f, 1e-3f);
            distance = cameraDistance(gui);
        }
        EXPECT_NEAR(distance, Gui::kDistance * Gui::kNearestDistance, 1e-4f);

        // A right drag moves the camera against the cursor in the screen's
        // plane, by the scale measured where it started.
        gui.setPanScale([](const input::Point&) { return 2.0f; });
        gui.mouseMoved({100.0f, 75.0f}, 0);
        const math::Vector3<float> before = gui.getNavigator().getTransform().getColumn(3);
        gui.mouseButton({100.0f, 75.0f}, Listener::kRightButton);
        gui.mouseMoved({110.0f, 70.0f}, Listener::kRightButton);
        gui.mouseButton({110.0f, 70.0f}, Listener::kRightReleased);
        const math::Vector3<float> moved = gui.getNavigator().getTransform().getColumn(3) - before;
        const math::Vector3<float> expected = turned.getColumn(0) * -20.0f + turned.getColumn(1) * -10.0f;
        EXPECT_NEAR((moved - expected).length(), 0.0f, 1e-3f);

        EXPECT_TRUE(gui.keyDown('R'));
        for (int element = 0; element < 16; ++element) {
            EXPECT_EQ(gui.getNavigator().getTransform()(element / 4, element % 4),
                      home(element / 4, element % 4));
        }
        EXPECT_FALSE(gui.isStatisticsShown());
        EXPECT_TRUE(gui.keyDown('F'));
        EXPECT_TRUE(gui.isStatisticsShown());
        EXPECT_TRUE(gui.keyDown('F'));
        EXPECT_FALSE(gui.isStatisticsShown());
    });
}

}  // namespace
}  // namespace nevrik::sample
