#include "nevrik/gui3d/Root.h"

#include "gui3d/GuiFixture.h"
#include "gui3d/RecordingView.h"
#include "nevrik/application/Message.h"
#include "nevrik/object/Exception.h"

#include <thread>

namespace nevrik::gui3d {
namespace {

using object::Pointer;
using testing::RecordingView;
using testing::Type;

// A root that notes the input no view takes.
class RecordingRoot : public Root {
public:
    RecordingRoot(graphics3d::Context* context, bool takeInput, std::string& log)
        : Root(context, takeInput), mLog(log) {}

    bool keyDown(std::uint32_t key) override { return note("root.keyDown" + std::to_string(key)); }
    bool character(std::uint32_t code, std::uint32_t modifiers) override {
        return note("root.char" + std::to_string(code) + "/" + std::to_string(modifiers));
    }
    bool mouseWheel(float delta, std::uint32_t /*state*/) override {
        note("root.wheel" + std::to_string(static_cast<int>(delta)));
        return delta > 0.0f;
    }

private:
    bool note(const std::string& call) {
        mLog += mLog.empty() ? call : " " + call;
        return true;
    }

    std::string& mLog;
};

class RootTest : public testing::GuiFixture {
protected:
    Pointer<RecordingRoot> makeRoot(bool takeInput) {
        return Pointer<RecordingRoot>::adopt(new RecordingRoot(mContext, takeInput, mCalls));
    }

    // A recording view at `frame`, attached to `root`; the root holds the
    // only reference.
    RecordingView* attach(Root& root, const char* name, const input::Rect& frame) {
        auto* view = new RecordingView(name, frame, mCalls);
        EXPECT_TRUE(root.addView(view));
        view->release();
        return view;
    }

    long move(int x, int y) { return send(message(Type::MouseMove, x, y)); }

    std::string takeCalls() { return std::exchange(mCalls, std::string()); }

    std::string mCalls;
};

TEST_F(RootTest, TakesOverTheWindowProcedureAndGivesTheOriginalBackWhenDestroyed) {
    const platform::WindowProcedure original = mWindow.getProcedure();
    Pointer<RecordingRoot> root = makeRoot(false);
    EXPECT_EQ(root->getWindow(), &mWindow);
    EXPECT_EQ(mWindow.getProcedure().user, root.get());
    EXPECT_EQ(root->getPreviousProcedure().function, original.function);
    EXPECT_EQ(root->getSize().width, kWidth);
    EXPECT_EQ(root->getSize().height, kHeight);
    EXPECT_EQ(root->getThread(), system::Thread::current());
    EXPECT_FALSE(root->ownsThread());

    // Resize-only: input passes through to the view's own procedure.
    move(5, 5);
    send(message(Type::Paint));
    EXPECT_EQ(mLog.heard, "CMP");
    // Taking input later must not make the root its own previous procedure.
    root->takeInput();
    move(6, 6);
    send(message(Type::Paint));
    EXPECT_EQ(mLog.heard, "CMPP") << "moves stop at the root, the rest passes on";
    EXPECT_EQ(root->getPreviousProcedure().user, &mLog);

    root.reset();
    EXPECT_EQ(mWindow.getProcedure().function, original.function);
    EXPECT_EQ(mWindow.getProcedure().user, original.user);
}

TEST_F(RootTest, AWindowDestroyedFirstGetsItsProcedureBackAndTheRootLetsGo) {
    const platform::WindowProcedure original = mWindow.getProcedure();
    Pointer<RecordingRoot> root = makeRoot(true);
    graphics3d::Context::peek()->dispose();
    platform::GlContext::destroy(mWindow.getConnection(), mRendering);
    mRendering = nullptr;
    ASSERT_TRUE(mWindow.destroy());
    EXPECT_EQ(mLog.heard, "CD") << "Destroy is passed on";
    EXPECT_EQ(root->getWindow(), nullptr);
    EXPECT_EQ(mWindow.getProcedure().user, original.user);
    root.reset();  // must not touch the window
}

TEST_F(RootTest, RefusesNullRenderingContextWithAMessage) {
    try {
        Root root(nullptr, true);
        FAIL() << "no exception";
    } catch (const object::Exception& exception) {
        EXPECT_STREQ(exception.getMessage().c_str(), "gui3d::Context: no rendering context");
    }
}

TEST_F(RootTest, AddAndRemoveRefuseForeignDoubleAndNullViewsAndBalanceReferences) {
    Pointer<RecordingRoot> root = makeRoot(true);
    Pointer<RecordingRoot> other = makeRoot(false);
    Pointer<RecordingView> view = Pointer<RecordingView>::adopt(new RecordingView("a", {0, 0, 10, 10}, mCalls));
    EXPECT_FALSE(root->addView(nullptr));
    EXPECT_FALSE(root->removeView(nullptr));
    EXPECT_FALSE(root->removeView(view.get())) << "not attached";
    ASSERT_TRUE(root->addView(view.get()));
    EXPECT_EQ(view->getReferenceCount(), 3) << "the view chain's and the messenger's";
    EXPECT_EQ(view->getRoot(), root.get());
    EXPECT_EQ(view->getContext(), &root->getContext());
    EXPECT_EQ(view->getMessenger(), root.get());
    EXPECT_FALSE(root->addView(view.get())) << "twice";
    EXPECT_FALSE(other->addView(view.get())) << "has a root";
    EXPECT_FALSE(other->removeView(view.get())) << "foreign";
    EXPECT_FALSE(other->setFocusedView(view.get()));
    EXPECT_EQ(root->getViews().getCount(), 1);

    ASSERT_TRUE(root->setFocusedView(view.get()));
    move(5, 5);
    EXPECT_EQ(root->getHoveredView(), view.get());
    takeCalls();
    ASSERT_TRUE(root->removeView(view.get()));
    EXPECT_EQ(takeCalls(), "a.focusLost a.detached");
    EXPECT_EQ(root->getFocusedView(), nullptr);
    EXPECT_EQ(root->getHoveredView(), nullptr);
    EXPECT_EQ(view->getRoot(), nullptr);
    EXPECT_EQ(view->getContext(), nullptr);
    EXPECT_EQ(view->getMessenger(), nullptr);
    EXPECT_EQ(view->getReferenceCount(), 1);
    EXPECT_FALSE(root->removeView(view.get()));
    EXPECT_TRUE(other->addView(view.get())) << "free to join another root";
}

TEST_F(RootTest, DestructionDetachesEveryViewOnceAndDropsItsReferences) {
    Pointer<RecordingRoot> root = makeRoot(true);
    Pointer<RecordingView> a = Pointer<RecordingView>::adopt(new RecordingView("a", {0, 0, 10, 10}, mCalls));
    Pointer<RecordingView> b = Pointer<RecordingView>::adopt(new RecordingView("b", {0, 0, 10, 10}, mCalls));
    root->addView(a.get());
    root->addView(b.get());
    root->setFocusedView(b.get());
    EXPECT_EQ(takeCalls(), "a.attached b.attached");
    root.reset();
    EXPECT_EQ(takeCalls(), "a.detached b.focusLost b.detached");
    EXPECT_EQ(a->getReferenceCount(), 1);
    EXPECT_EQ(b->getReferenceCount(), 1);
    EXPECT_EQ(b->getRoot(), nullptr);
}

TEST_F(RootTest, FocusMovesWithFocusLostOnTheOldViewAndKeysGoToTheFocusedView) {
    Pointer<RecordingRoot> root = makeRoot(true);
    RecordingView* a = attach(*root, "a", {0, 0, 10, 10});
    RecordingView* b = attach(*root, "b", {0, 0, 10, 10});
    takeCalls();
    platform::WindowMessage key = message(Type::KeyDown);
    key.key = 0x41;
    send(key);  // no focus: the root's
    root->setFocusedView(a);
    send(key);
    key.repeat = true;
    send(key);  // repeats are dropped
    key.type = Type::KeyUp;
    key.repeat = false;
    send(key);
    platform::WindowMessage character = message(Type::Char);
    character.key = 'a';
    character.modifiers = platform::WindowMessage::kLeftShift;
    send(character);
    root->setFocusedView(b);
    root->setFocusedView(b);  // no change, no second focusLost
    root->setFocusedView(nullptr);
    send(character);
    EXPECT_EQ(takeCalls(), "root.keyDown65 a.keyDown65 a.keyUp65 a.char97/1 a.focusLost b.focusLost root.char97/1");
}

TEST_F(RootTest, HoverMovesBetweenViewsLeaveThenEnterThenMoveInViewCoordinates) {
    Pointer<RecordingRoot> root = makeRoot(true);
    attach(*root, "a", {0, 0, 50, 50});
    attach(*root, "b", {100, 20, 50, 50});
    takeCalls();
    move(10, 10);
    move(12, 10);
    move(110, 25);
    EXPECT_EQ(takeCalls(), "a.enter(10,10) a.move(10,10) a.move(12,10) a.leave b.enter(10,5) b.move(10,5)");
    EXPECT_TRUE(root->isTracking());
    move(80, 25);  // between the views
    EXPECT_EQ(takeCalls(), "b.leave");
    EXPECT_EQ(root->getHoveredView(), nullptr);
    move(100, 20);  // the frame's edges count
    send(message(Type::MouseLeave));
    EXPECT_EQ(takeCalls(), "b.enter(0,0) b.move(0,0) b.leave");
    EXPECT_FALSE(root->isTracking());
    move(150, 70);  // coming back in: entered once, not twice
    EXPECT_EQ(takeCalls(), "b.enter(50,50) b.move(50,50)");
}

TEST_F(RootTest, AViewThatLetsMovesPassIsLeftOnlyWhenThePointerIsOffIt) {
    Pointer<RecordingRoot> root = makeRoot(true);
    RecordingView* a = attach(*root, "a", {0, 0, 50, 50});
    a->mTakes = false;
    takeCalls();
    move(10, 10);
    move(20, 10);
    move(60, 10);
    EXPECT_EQ(takeCalls(), "a.enter(10,10) a.move(10,10) a.move(20,10) a.leave");
}

TEST_F(RootTest, DisabledViewsHearNoMouseAndTheViewsBelowDo) {
    Pointer<RecordingRoot> root = makeRoot(true);
    RecordingView* top = attach(*root, "top", {0, 0, 50, 50});
    attach(*root, "below", {0, 0, 50, 50});
    top->setEnabled(false);
    takeCalls();
    move(10, 10);
    platform::WindowMessage press = message(Type::ButtonDown, 10, 10);
    press.button = platform::WindowMessage::kLeftHeld;
    send(press);
    send(message(Type::MouseLeave));
    EXPECT_EQ(takeCalls(), "below.enter(10,10) below.move(10,10) below.button4096(10,10) below.leave");
    EXPECT_FALSE(root->mouseButton({70, 70}, platform::WindowMessage::kLeftHeld)) << "nothing there";
}

TEST_F(RootTest, WheelAnswersWithTheRootsResult) {
    Pointer<RecordingRoot> root = makeRoot(true);
    platform::WindowMessage wheel = message(Type::MouseWheel);
    wheel.delta = 120;
    EXPECT_EQ(send(wheel), 1);
    wheel.delta = -120;
    EXPECT_EQ(send(wheel), 0);
    EXPECT_EQ(takeCalls(), "root.wheel120 root.wheel-120");
}

TEST_F(RootTest, ResizeMovesAndStretchesByLayoutFlagsAndPassesTheSizeOn) {
    Pointer<RecordingRoot> root = makeRoot(false);
    RecordingView* still = attach(*root, "still", {10, 20, 30, 40});
    RecordingView* down = attach(*root, "down", {10, 20, 30, 40});
    RecordingView* tall = attach(*root, "tall", {10, 20, 30, 40});
    RecordingView* right = attach(*root, "right", {10, 20, 30, 40});
    RecordingView* wide = attach(*root, "wide", {10, 20, 30, 40});
    down->setLayoutFlags(View::kFollowBottom);
    tall->setLayoutFlags(View::kStretchTop | View::kFollowBottom);
    right->setLayoutFlags(View::kFollowRight);
    wide->setLayoutFlags(View::kStretchLeft | View::kFollowRight);
    takeCalls();

    platform::WindowMessage size = message(Type::Size);
    size.width = kWidth;
    size.height = kHeight + 100;
    send(size);
    EXPECT_EQ(mLog.heard, "CS");
    EXPECT_EQ(takeCalls(), "down.frameChanged tall.frameChanged right.frameChanged wide.frameChanged");
    EXPECT_EQ(still->getFrame().y, 20.0f);
    EXPECT_EQ(down->getFrame().y, 120.0f);
    EXPECT_EQ(down->getWindowTransform().ty, 120.0f);
    EXPECT_EQ(tall->getFrame().y, 20.0f);
    EXPECT_EQ(tall->getFrame().height, 140.0f);
    EXPECT_EQ(tall->getBounds().height, 140.0f);
    EXPECT_EQ(right->getFrame().x, 10.0f) << "no width change";
    EXPECT_EQ(root->getSize().height, kHeight + 100.0f);
    EXPECT_EQ(root->getLastSize().height, kHeight + 100.0f);

    size.width = kWidth - 5;
    send(size);
    EXPECT_EQ(right->getFrame().x, 5.0f);
    EXPECT_EQ(wide->getFrame().width, 25.0f);
    EXPECT_EQ(down->getFrame().y, 120.0f) << "no height change";
    takeCalls();
    send(size);
    EXPECT_EQ(takeCalls(), "") << "the same size lays out nothing";
}

TEST_F(RootTest, BroadcastsReachEveryView) {
    Pointer<RecordingRoot> root = makeRoot(true);
    attach(*root, "a", {0, 0, 1, 1});
    attach(*root, "b", {0, 0, 1, 1});
    takeCalls();
    EXPECT_TRUE(root->broadcastFirst());
    EXPECT_TRUE(root->broadcastSecond());
    EXPECT_EQ(takeCalls(), "a.activate b.activate a.deactivate b.deactivate");
}

TEST_F(RootTest, PostedMessagesWaitForDeliveryOnTheRenderingThreadFrontFirst) {
    const std::int64_t liveBefore = application::Message::getLiveCount();
    Pointer<RecordingRoot> root = makeRoot(true);
    RecordingView* view = attach(*root, "v", {0, 0, 1, 1});
    takeCalls();
    std::thread poster([&] {
        EXPECT_TRUE(application::post(view, 1));
        EXPECT_TRUE(application::post(view, 2));
        EXPECT_TRUE(application::send(view, 3)) << "from another thread, send queues at the front";
    });
    poster.join();
    EXPECT_EQ(mCalls, "") << "nothing is delivered before deliverMessages()";
    EXPECT_EQ(root->getQueuedCount(), 3);
    root->deliverMessages();
    EXPECT_EQ(takeCalls(), "v.message3 v.message1 v.message2");
    EXPECT_EQ(root->getQueuedCount(), 0);
    EXPECT_EQ(application::Message::getLiveCount(), liveBefore) << "every message went back to the pool";

    EXPECT_TRUE(application::post(view, 4));
    root.reset();  // undelivered messages are released with the root
    EXPECT_EQ(application::Message::getLiveCount(), liveBefore);
    EXPECT_EQ(mCalls, "v.detached");
}

// A view that notes the matrix and clipping it is rendered with.
class ProbeView : public View {
public:
    using View::View;
    bool render() override {
        glGetFloatv(GL_MODELVIEW_MATRIX, mModelView);
        glGetIntegerv(GL_SCISSOR_BOX, mScissor);
        mBatch = getContext()->getBatch();
        return true;
    }
    float mModelView[16] = {};
    GLint mScissor[4] = {};
    std::uint32_t mBatch = 99;
};

TEST_F(RootTest, RenderGivesEachViewItsModelViewMatrixAndClipsItToItsFrameInTheRoot) {
    Pointer<RecordingRoot> root = makeRoot(true);
    auto* scaled = new ProbeView({100, 50, 40, 30});
    scaled->setTransform(graphics::Transform<float>(2, 0, 3, 0, 0.5f, 4));
    scaled->relayout();
    auto* outside = new ProbeView({300, 180, 40, 40});
    root->addView(scaled);
    root->addView(outside);
    root->render();
    const float expected[16] = {2, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1, 0, 103, 54, 0, 1};
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(scaled->mModelView[i], expected[i]) << "element " << i;
    }
    EXPECT_EQ(scaled->mScissor[0], 100);
    EXPECT_EQ(scaled->mScissor[1], kHeight - 80) << "GL counts rows from the bottom";
    EXPECT_EQ(scaled->mScissor[2], 40);
    EXPECT_EQ(scaled->mScissor[3], 30);
    EXPECT_EQ(outside->mScissor[0], 300);
    EXPECT_EQ(outside->mScissor[1], 0);
    EXPECT_EQ(outside->mScissor[2], 20) << "clipped to the root";
    EXPECT_EQ(outside->mScissor[3], 20);
    EXPECT_EQ(scaled->mBatch, Context::kNoBatch);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    scaled->release();
    outside->release();
}

TEST_F(RootTest, ClassPathsNameEveryLevel) {
    Pointer<RecordingRoot> root = makeRoot(true);
    EXPECT_STREQ(root->className().c_str(), "Object:Handler:Messenger:Root");
    View view({0, 0, 1, 1});
    EXPECT_STREQ(view.className().c_str(), "Object:Handler:View");
    EXPECT_STREQ(root->getContext().className().c_str(), "Object:Context");
    EXPECT_STREQ(root->getContext().getFontCache().className().c_str(), "Object:FontCache");
}

}  // namespace
}  // namespace nevrik::gui3d
