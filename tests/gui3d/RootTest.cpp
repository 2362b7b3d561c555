#include "nevrik/gui3d/Root.h"

#include "gui3d/GuiFixture.h"
#include "gui3d/RecordingView.h"

#include <stdexcept>
#include <thread>
#include <utility>

namespace nevrik::gui3d {
namespace {

using object::Pointer;
using testing::RecordingView;
using testing::Type;

// A root that notes the keys no view takes and answers wheel notches away
// from the user.
class RecordingRoot : public Root {
public:
    RecordingRoot(graphics3d::Context* context, bool takeInput, std::string& log)
        : Root(context, takeInput), mLog(log) {}
    bool keyDown(std::uint32_t key) override { return mLog += " root.keyDown" + std::to_string(key), true; }
    bool mouseWheel(float delta, std::uint32_t) override { return delta > 0.0f; }

private:
    std::string& mLog;
};

class RootTest : public testing::GuiFixture {
protected:
    void SetUp() override {
        GuiFixture::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        mOriginal = mWindow.getProcedure();
    }

    Pointer<RecordingRoot> makeRoot(bool takeInput) {
        return object::make<RecordingRoot>(mContext, takeInput, mCalls);
    }

    // A recording view attached to `root`, which holds the only reference.
    RecordingView* attach(Root& root, const char* name, const input::Rect& frame) {
        const auto view = object::make<RecordingView>(name, frame, mCalls);
        EXPECT_TRUE(root.addView(view.get()));
        return view.get();
    }

    std::string calls() { return std::exchange(mCalls, std::string()); }

    platform::WindowProcedure mOriginal;
    std::string mCalls;
};

TEST_F(RootTest, TakesOverTheWindowProcedureAndRestoresTheOriginal) {
    Pointer<RecordingRoot> root = makeRoot(false);
    EXPECT_EQ(mWindow.getProcedure().user, root.get());
    EXPECT_EQ(root->getSize().width, kWidth);
    EXPECT_EQ(root->getSize().height, kHeight);
    EXPECT_EQ(root->getThread(), system::Thread::current());
    send(Type::MouseMove, 5, 5);  // resize-only: input passes on
    root->takeInput();
    send(Type::MouseMove, 6, 6);
    send(Type::Paint);
    EXPECT_EQ(mHeard, "AJE") << "Create, then the first move and the paint only";
    EXPECT_EQ(root->getPreviousProcedure().user, &mHeard) << "switching must not chain the root to itself";
    root.reset();
    EXPECT_EQ(mWindow.getProcedure().function, mOriginal.function);
    EXPECT_EQ(mWindow.getProcedure().user, mOriginal.user);

    // A window destroyed first gets its procedure back at once.
    root = makeRoot(true);
    graphics3d::Context::peek()->dispose();
    platform::GlContext::destroy(mWindow.getConnection(), mRendering);
    mRendering = nullptr;
    ASSERT_TRUE(mWindow.destroy());
    EXPECT_EQ(mHeard, "AJEO") << "Destroy is passed on";
    EXPECT_EQ(root->getWindow(), nullptr);
    EXPECT_EQ(mWindow.getProcedure().user, mOriginal.user);
}

TEST_F(RootTest, AttachesOnlyFreeViewsAndDetachesThemOnceWithBalancedReferences) {
    Pointer<RecordingRoot> root = makeRoot(true);
    Pointer<RecordingRoot> other = makeRoot(false);
    EXPECT_EQ(other->getWindow(), nullptr) << "one root per window";
    auto view = object::make<RecordingView>("a", input::Rect{0, 0, 10, 10}, mCalls);
    auto kept = object::make<RecordingView>("b", input::Rect{0, 0, 10, 10}, mCalls);
    EXPECT_FALSE(root->addView(nullptr));
    EXPECT_FALSE(root->removeView(view.get()));
    ASSERT_TRUE(root->addView(view.get()));
    EXPECT_EQ(view->getReferenceCount(), 3) << "the view chain's and the messenger's";
    EXPECT_EQ(view->getContext(), &root->getContext());
    EXPECT_FALSE(root->addView(view.get()));
    EXPECT_FALSE(other->addView(view.get()));
    EXPECT_FALSE(other->removeView(view.get()));
    EXPECT_FALSE(other->setFocusedView(view.get()));

    ASSERT_TRUE(root->setFocusedView(view.get()));
    send(Type::MouseMove, 5, 5);
    EXPECT_EQ(root->getHoveredView(), view.get());
    ASSERT_TRUE(root->removeView(view.get()));
    EXPECT_EQ(calls(), "a.attached a.enter(5,5) a.move(5,5) a.focusLost a.detached");
    EXPECT_EQ(root->getFocusedView(), nullptr);
    EXPECT_EQ(root->getHoveredView(), nullptr);
    EXPECT_EQ(view->getMessenger(), nullptr);
    EXPECT_EQ(view->getReferenceCount(), 1);
    EXPECT_TRUE(other->addView(view.get())) << "free to join another root";

    root->addView(kept.get());
    root->setFocusedView(kept.get());
    calls();
    root.reset();
    EXPECT_EQ(calls(), "b.focusLost b.detached");
    EXPECT_EQ(kept->getReferenceCount(), 1);
}

TEST_F(RootTest, KeysGoToTheFocusedViewOrTheRootAndRepeatsAreDropped) {
    Pointer<RecordingRoot> root = makeRoot(true);
    RecordingView* a = attach(*root, "a", {0, 0, 10, 10});
    RecordingView* b = attach(*root, "b", {0, 0, 10, 10});
    calls();
    send(Type::KeyDown, 0, 0, 'A');
    root->setFocusedView(a);
    send(Type::KeyDown, 0, 0, 'B');
    platform::WindowMessage repeat;
    repeat.type = Type::KeyDown;
    repeat.repeat = true;
    send(repeat);
    send(Type::Char, 0, 0, 'c');
    root->setFocusedView(b);
    root->setFocusedView(b);  // no change: no second focusLost
    platform::WindowMessage wheel;
    wheel.type = Type::MouseWheel;
    wheel.delta = 120;
    EXPECT_EQ(send(wheel), 1) << "the root's answer";
    EXPECT_EQ(calls(), " root.keyDown65 a.keyDown66 a.char99 a.focusLost");
}

TEST_F(RootTest, HoverMovesBetweenViewsLeaveEnterMoveInViewCoordinates) {
    Pointer<RecordingRoot> root = makeRoot(true);
    attach(*root, "a", {0, 0, 50, 50});
    attach(*root, "b", {100, 20, 50, 50});
    RecordingView* off = attach(*root, "off", {0, 0, 200, 200});
    off->setEnabled(false);
    calls();
    send(Type::MouseMove, 10, 10);
    send(Type::MouseMove, 110, 25);
    EXPECT_EQ(calls(), "a.enter(10,10) a.move(10,10) a.leave b.enter(10,5) b.move(10,5)");
    send(Type::MouseMove, 80, 25);   // between the views
    send(Type::MouseMove, 150, 70);  // the frame's edges count
    send(Type::ButtonDown, 150, 70);
    send(Type::MouseLeave);
    send(Type::MouseMove, 100, 20);  // back in: entered once, not twice
    EXPECT_EQ(calls(),
              "b.leave b.enter(50,50) b.move(50,50) b.button(50,50) b.leave b.enter(0,0) b.move(0,0)");
    EXPECT_FALSE(root->mouseButton({70, 70}, 0)) << "only the disabled view is there";
}

TEST_F(RootTest, AViewThatLetsMovesPassIsLeftOnlyOnceThePointerIsOffIt) {
    Pointer<RecordingRoot> root = makeRoot(true);
    attach(*root, "a", {0, 0, 50, 50})->mTakes = false;
    calls();
    send(Type::MouseMove, 10, 10);
    send(Type::MouseMove, 20, 10);
    send(Type::MouseMove, 60, 10);
    EXPECT_EQ(calls(), "a.enter(10,10) a.move(10,10) a.move(20,10) a.leave");
}

TEST_F(RootTest, ResizeMovesAndStretchesViewsByTheirLayoutFlags) {
    Pointer<RecordingRoot> root = makeRoot(false);
    const input::Rect frame{10, 20, 30, 40};
    RecordingView* still = attach(*root, "still", frame);
    RecordingView* down = attach(*root, "down", frame);
    RecordingView* tall = attach(*root, "tall", frame);
    RecordingView* wide = attach(*root, "wide", frame);
    down->setLayoutFlags(View::kFollowBottom);
    tall->setLayoutFlags(View::kStretchTop | View::kFollowBottom);
    wide->setLayoutFlags(View::kStretchLeft | View::kFollowRight);
    calls();
    platform::WindowMessage size;
    size.type = Type::Size;
    size.width = kWidth;
    size.height = kHeight + 100;
    send(size);
    send(size);  // the same size again lays out nothing
    EXPECT_EQ(mHeard, "ACC") << "passed on";
    EXPECT_EQ(calls(), "down.frameChanged tall.frameChanged wide.frameChanged");
    EXPECT_EQ(still->getFrame().y, 20.0f);
    EXPECT_EQ(down->getFrame().y, 120.0f);
    EXPECT_EQ(down->getWindowTransform().ty, 120.0f);
    EXPECT_EQ(tall->getBounds().height, 140.0f);
    EXPECT_EQ(wide->getFrame().width, 30.0f);
    size.width = kWidth - 5;
    send(size);
    EXPECT_EQ(wide->getFrame().width, 25.0f);
    EXPECT_EQ(down->getFrame().y, 120.0f);
    EXPECT_EQ(root->getLastSize().width, kWidth - 5.0f);
}

TEST_F(RootTest, PostedMessagesWaitForDeliveryFrontFirstAndAreReleased) {
    const std::int64_t live = application::Message::getLiveCount();
    Pointer<RecordingRoot> root = makeRoot(true);
    RecordingView* view = attach(*root, "v", {0, 0, 1, 1});
    EXPECT_TRUE(root->broadcastFirst());
    EXPECT_EQ(calls(), "v.attached v.activate");
    std::thread poster([&] {
        EXPECT_TRUE(application::post(view, 1));
        EXPECT_TRUE(application::post(view, 2));
        EXPECT_TRUE(application::send(view, 3));  // from another thread: queued at the front
    });
    poster.join();
    EXPECT_EQ(root->getQueuedCount(), 3);
    EXPECT_EQ(mCalls, "");
    root->deliverMessages();
    EXPECT_EQ(calls(), "v.message3 v.message1 v.message2");
    EXPECT_EQ(application::Message::getLiveCount(), live);
    EXPECT_TRUE(application::post(view, 4));
    root.reset();  // undelivered, released with the root
    EXPECT_EQ(application::Message::getLiveCount(), live);
}

// A handler that throws takes its message with it and leaves the rest queued.
TEST_F(RootTest, AThrowingHandlerLeaksNoMessage) {
    struct Throwing : RecordingView {
        using RecordingView::RecordingView;
        bool onMessage(application::Message& message) override {
            RecordingView::onMessage(message);
            throw std::runtime_error("handler failed");
        }
    };
    const std::int64_t live = application::Message::getLiveCount();
    Pointer<RecordingRoot> root = makeRoot(true);
    auto view = object::make<Throwing>("t", input::Rect{0, 0, 1, 1}, mCalls);
    ASSERT_TRUE(root->addView(view.get()));
    EXPECT_TRUE(application::post(view.get(), 1));
    EXPECT_TRUE(application::post(view.get(), 2));
    EXPECT_THROW(root->deliverMessages(), std::runtime_error);
    EXPECT_EQ(root->getQueuedCount(), 1);
    EXPECT_THROW(root->deliverMessages(), std::runtime_error);
    EXPECT_EQ(application::Message::getLiveCount(), live);
    EXPECT_EQ(calls(), "t.attached t.message1 t.message2");
}

// Notes the matrix, clipping and batch it is rendered with.
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

TEST_F(RootTest, RendersEachViewWithItsMatrixClippedToItsFrameInTheRoot) {
    Pointer<RecordingRoot> root = makeRoot(true);
    auto scaled = object::make<ProbeView>(input::Rect{100, 50, 40, 30});
    auto outside = object::make<ProbeView>(input::Rect{300, 180, 40, 40});
    scaled->setTransform(graphics::Transform<float>(2, 0, 3, 0, 0.5f, 4));
    scaled->relayout();
    root->addView(scaled.get());
    root->addView(outside.get());
    root->render();
    const float expected[16] = {2, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1, 0, 103, 54, 0, 1};
    EXPECT_TRUE(std::equal(expected, expected + 16, scaled->mModelView));
    const GLint inside[4] = {100, kHeight - 80, 40, 30};  // rows count from the bottom
    const GLint clipped[4] = {300, 0, 20, 20};
    EXPECT_TRUE(std::equal(inside, inside + 4, scaled->mScissor));
    EXPECT_TRUE(std::equal(clipped, clipped + 4, outside->mScissor));
    EXPECT_EQ(scaled->mBatch, Context::kNoBatch);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_STREQ(root->className().c_str(), "Object:Handler:Messenger:Root");
    EXPECT_STREQ(scaled->className().c_str(), "Object:Handler:View");
}

}  // namespace
}  // namespace nevrik::gui3d
