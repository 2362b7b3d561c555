#include "nevrik/application/Looper.h"

#include "RecordingHandler.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/platform/ThreadQueue.h"
#include "nevrik/platform/WaitableTimer.h"

#include <gtest/gtest.h>

#include <atomic>

namespace nevrik::application {
namespace {

using object::Pointer;
using testing::RecordingHandler;

// A running looper with one recording handler, quit when the test ends.
struct RunningLooper {
    RunningLooper() {
        looper->addHandler(handler.get());
        EXPECT_TRUE(looper->run());
    }
    ~RunningLooper() { looper->quit(); }

    Pointer<Looper> looper = Pointer<Looper>::adopt(new Looper());
    Pointer<RecordingHandler> handler = Pointer<RecordingHandler>::adopt(new RecordingHandler());
};

TEST(LooperTest, RunAndQuitRefuseTheStateTheyWouldMake) {
    Pointer<Looper> looper = Pointer<Looper>::adopt(new Looper());
    EXPECT_FALSE(looper->quit());
    ASSERT_TRUE(looper->run());
    EXPECT_FALSE(looper->run());
    EXPECT_TRUE(looper->quit());
    EXPECT_FALSE(looper->quit());
    EXPECT_EQ(looper->getThread(), nullptr);
}

TEST(LooperTest, RunsAgainAfterQuitAndDeliversEachTimeOnItsOwnThread) {
    RunningLooper running;
    for (int round = 1; round <= 2; ++round) {
        // Posted the moment run() returns: the new thread's queue is there.
        ASSERT_TRUE(post(running.handler.get(), static_cast<std::uint32_t>(round)));
        running.handler->waitFor(round);
        EXPECT_EQ(running.handler->getThread(), running.looper->getThread());
        EXPECT_NE(running.handler->getThread(), system::Thread::current());
        ASSERT_TRUE(running.looper->quit());
        EXPECT_FALSE(post(running.handler.get(), 99));
        if (round == 1) {
            ASSERT_TRUE(running.looper->run());
        }
    }
    EXPECT_EQ(running.handler->getCodes(), (std::vector<std::uint32_t>{1, 2}));
}

// Sends `kInner` to a second handler from inside its own delivery.
class ForwardingHandler : public Handler {
public:
    static constexpr std::uint32_t kInner = 7;

    explicit ForwardingHandler(RecordingHandler* next) : mNext(next) {}
    bool onMessage(Message&) override {
        mSendResult = send(mNext, kInner);
        mDeliveredBeforeReturn = mNext->getCount() == 1;
        mDone.set();
        return true;
    }

    RecordingHandler* mNext;
    bool mSendResult = false;
    bool mDeliveredBeforeReturn = false;
    system::Signal mDone;
};

TEST(LooperTest, SendIsADirectCallOnTheLooperThreadAndQueuedFromElsewhere) {
    RunningLooper running;
    Pointer<ForwardingHandler> forwarder =
        Pointer<ForwardingHandler>::adopt(new ForwardingHandler(running.handler.get()));
    running.looper->addHandler(forwarder.get());
    ASSERT_TRUE(send(forwarder.get(), 1));
    forwarder->mDone.wait();
    EXPECT_TRUE(forwarder->mSendResult);
    EXPECT_TRUE(forwarder->mDeliveredBeforeReturn);
    EXPECT_EQ(running.handler->getCodes(), (std::vector<std::uint32_t>{ForwardingHandler::kInner}));
}

TEST(LooperTest, MessagesAfterQuitGoBackToThePoolUndelivered) {
    const std::int64_t live = Message::getLiveCount();
    RunningLooper running;
    const std::uint32_t id = running.looper->getThread()->getThreadId();
    // Quit first, then more deliveries: they sit behind the quit.
    ASSERT_TRUE(platform::ThreadQueue::post(id, platform::ThreadQueue::kQuit, 0, 0));
    for (int i = 0; i < 10; ++i) {
        Message* message = Message::make(1, running.handler.get());
        if (!platform::ThreadQueue::post(id, Looper::LOOPER_DELIVER,
                                         reinterpret_cast<std::uintptr_t>(message), 0)) {
            message->release();
        }
    }
    running.looper->quit();
    EXPECT_EQ(running.handler->getCount(), 0);
    EXPECT_EQ(Message::getLiveCount(), live);
    EXPECT_EQ(running.handler->getReferenceCount(), 2);
}

// Quits its looper from the looper's own thread.
class QuittingHandler : public Handler {
public:
    bool onMessage(Message&) override {
        mResult = static_cast<Looper*>(getMessenger())->quit();
        mDone.set();
        return true;
    }

    bool mResult = false;
    system::Signal mDone;
};

TEST(LooperTest, QuitFromTheLooperThreadEndsTheLoopAndAllowsALaterRun) {
    Pointer<Looper> looper = Pointer<Looper>::adopt(new Looper());
    Pointer<QuittingHandler> quitter = Pointer<QuittingHandler>::adopt(new QuittingHandler());
    looper->addHandler(quitter.get());
    ASSERT_TRUE(looper->run());
    ASSERT_TRUE(post(quitter.get(), 1));
    quitter->mDone.wait();
    EXPECT_TRUE(quitter->mResult);
    // The ended thread is let go here; the looper runs again.
    EXPECT_TRUE(looper->run());
    EXPECT_TRUE(looper->quit());
}

// Watches a timer besides its queue, as a window watches its display.
class TimerLooper : public Looper {
public:
    ~TimerLooper() override { quit(); }

    platform::WaitableTimer mTimer;
    std::atomic<std::uint64_t> mExpiries{0};
    std::atomic<std::uint32_t> mLastUnknown{0};
    system::Signal mSeen;

protected:
    int getWaitDescriptor() const override { return mTimer.getDescriptor(); }
    void dispatchPending() override {
        if (const std::uint64_t expiries = mTimer.poll()) {
            mExpiries += expiries;
            mSeen.set();
        }
    }
    void onThreadMessage(const platform::ThreadMessage& message) override {
        mLastUnknown = message.code;
        mSeen.set();
    }
};

TEST(LooperTest, SubclassHooksWakeTheLoopForAnotherSourceAndUnknownThreadMessages) {
    Pointer<TimerLooper> looper = Pointer<TimerLooper>::adopt(new TimerLooper());
    ASSERT_TRUE(looper->run());
    looper->mTimer.set(-1, 0);
    looper->mSeen.consume();
    EXPECT_EQ(looper->mExpiries.load(), 1u);

    constexpr std::uint32_t kPaint = platform::ThreadQueue::kUser + 7;
    ASSERT_TRUE(platform::ThreadQueue::post(looper->getThread()->getThreadId(), kPaint, 0, 0));
    looper->mSeen.consume();
    EXPECT_EQ(looper->mLastUnknown.load(), kPaint);
}

TEST(LooperTest, ClassPathsAndThreadOwnership) {
    Pointer<Looper> looper = Pointer<Looper>::adopt(new Looper());
    EXPECT_TRUE(looper->ownsThread());
    ASSERT_TRUE(looper->run());
    EXPECT_EQ(looper->getThread()->className(), "Object:Thread:LooperThread");
    looper->quit();
}

}  // namespace
}  // namespace nevrik::application
