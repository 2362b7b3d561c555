#include "sample/OpenGLTicker.h"

#include "gui/Recorder.h"
#include "gui/RecordingView.h"
#include "gui/TestDisplay.h"

#include "nevrik/gui/Window.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

namespace nevrik::sample {
namespace {

TEST(OpenGLTickerTest, TicksRepaintTheViewUntilStopped) {
    ASSERT_TRUE(gui::TestDisplay::shared().isOpen());
    gui::Recorder recorder;
    auto window = object::make<gui::Window>();
    window->setSize(64, 48);
    auto view = object::make<gui::RecordingView>(recorder, input::Rect{0, 0, 64, 48});
    ASSERT_TRUE(window->addView(view.get()));
    ASSERT_TRUE(window->open());
    ASSERT_TRUE(recorder.waitFor([&] { return view->mCreated == 1; }));
    const int held = view->getReferenceCount();
    auto ticker = object::make<OpenGLTicker>(view.get());
    EXPECT_EQ(ticker->getPeriod(), 14u);
    const int before = recorder.read([&] { return view->mPaints; });
    ticker->start();
    // An exposure paints once; only the ticker keeps the paints coming.
    EXPECT_TRUE(recorder.waitFor([&] { return view->mPaints >= before + 5; }));
    ticker->stop();
    EXPECT_FALSE(ticker->isRunning());
    EXPECT_TRUE(window->close());
    // Dropped last, the ticker gives the view back.
    ticker.reset();
    EXPECT_EQ(view->getReferenceCount(), held);
}

}  // namespace
}  // namespace nevrik::sample
