#include "sample/OpenGLTicker.h"

#include "gui/Recorder.h"
#include "gui/RecordingView.h"
#include "gui/TestDisplay.h"

#include "nevrik/gui/Window.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

namespace nevrik::sample {
namespace {

TEST(OpenGLTickerTest, AViewOutsideAWindowIsLeftAlone) {
    gui::Recorder recorder;
    auto view = object::Pointer<gui::RecordingView>::adopt(new gui::RecordingView(recorder, {0, 0, 10, 10}));
    {
        OpenGLTicker ticker(view.get());
        EXPECT_EQ(ticker.getPeriod(), 14u);
        EXPECT_STREQ(ticker.className().c_str(), "Object:Ticker:OpenGLTicker");
        EXPECT_EQ(view->getReferenceCount(), 2);
        ticker.tick();
        ticker.start();
    }
    // The dying ticker stopped its thread and gave the view back.
    EXPECT_EQ(view->getReferenceCount(), 1);
    EXPECT_EQ(view->mPaints, 0);
}

TEST(OpenGLTickerTest, TicksRepaintTheViewUntilStopped) {
    ASSERT_TRUE(gui::TestDisplay::shared().isOpen());
    gui::Recorder recorder;
    auto window = object::Pointer<gui::Window>::adopt(new gui::Window());
    window->setSize(64, 48);
    auto view = object::Pointer<gui::RecordingView>::adopt(new gui::RecordingView(recorder, {0, 0, 64, 48}));
    ASSERT_TRUE(window->addView(view.get()));
    ASSERT_TRUE(window->open());
    ASSERT_TRUE(recorder.waitFor([&] { return view->mCreated == 1; }));
    auto ticker = object::Pointer<OpenGLTicker>::adopt(new OpenGLTicker(view.get()));
    const int before = recorder.read([&] { return view->mPaints; });
    ticker->start();
    // An exposure paints once; only the ticker keeps the paints coming.
    EXPECT_TRUE(recorder.waitFor([&] { return view->mPaints >= before + 5; }));
    ticker->stop();
    EXPECT_FALSE(ticker->isRunning());
    EXPECT_TRUE(window->close());
}

}  // namespace
}  // namespace nevrik::sample
