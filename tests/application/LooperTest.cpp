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

// A stopped looper with one recording handler.
struct LooperWithHandler {
    LooperWithHandler() { looper->addHandler(handler.get()); }
    ~LooperWithHandler() { looper->quit(); }

    Pointer<Looper> looper = object::make<Looper>();
    Pointer<RecordingHandler> handler = object::make<RecordingHandler>();
};

TEST(LooperTest, RunsAndQuitsTwiceDeliveringOnItsOwnThreadEachTime) {
    LooperWithHandler fixture;
    EXPECT_FALSE(fixture.looper->quit());
    for (std::uint32_t round = 1; round <= 2; ++round) {
        ASSERT_TRUE(fixture.looper->run());
        EXPECT_FALSE(fixture.looper->run());
        // Posted the moment run() returns: the new thread's queue is there.
        ASSERT_TRUE(post(fixture.handler.get(), round));
        fixture.handler->waitFor(static_cast<int>(round));
        EXPECT_EQ(fixture.handler->getThread(), fixture.looper->getThread());
        ASSERT_TRUE(fixture.looper->quit());
        EXPECT_FALSE(fixture.looper->quit());
        EXPECT_FALSE(post(fixture.handler.get(), 99));
    }
    EXPECT_EQ(fixture.handler->getCodes(), (std::vector<std::uint32_t>{1, 2}));
}

// From inside its own delivery, sends to the next handler (or quits the looper).
class ForwardingHandler : public Handler {
public:
    explicit ForwardingHandler(RecordingHandler* next) : mNext(next) {}
    bool onMessage(Message& message) override {
        if (mNext == nullptr) {
            mResult = static_cast<Looper*>(getMessenger())->quit();
        } else {
            mResult = send(mNext, message.getWhat() + 1);
            mNextHadIt = mNext->getCount() == 1;
        }
        mDone.set();
        return true;
    }

    RecordingHandler* mNext;
    bool mResult = false;
    bool mNextHadIt = false;
    system::Signal mDone;
};

TEST(LooperTest, SendIsADirectCallOnTheLooperThreadAndQueuedFromElsewhere) {
    LooperWithHandler fixture;
    Pointer<ForwardingHandler> forwarder = object::make<ForwardingHandler>(fixture.handler.get());
    fixture.looper->addHandler(forwarder.get());
    ASSERT_TRUE(fixture.looper->run());
    ASSERT_TRUE(send(forwarder.get(), 1));
    forwarder->mDone.wait();
    EXPECT_TRUE(forwarder->mResult);
    EXPECT_TRUE(forwarder->mNextHadIt);
}

TEST(LooperTest, QuitFromTheLooperThreadEndsTheLoopAndALaterRunWaitsForIt) {
    LooperWithHandler fixture;
    Pointer<ForwardingHandler> quitter = object::make<ForwardingHandler>(nullptr);
    fixture.looper->addHandler(quitter.get());
    ASSERT_TRUE(fixture.looper->run());
    ASSERT_TRUE(post(quitter.get(), 1));
    quitter->mDone.wait();
    EXPECT_TRUE(quitter->mResult);
    EXPECT_TRUE(fixture.looper->run());
}

TEST(LooperTest, MessagesBehindTheQuitGoBackToThePoolUndelivered) {
    const std::int64_t live = Message::getLiveCount();
    LooperWithHandler fixture;
    ASSERT_TRUE(fixture.looper->run());
    const std::uint32_t id = fixture.looper->getThread()->getThreadId();
    ASSERT_TRUE(platform::ThreadQueue::post(id, platform::ThreadQueue::kQuit, 0, 0));
    for (int i = 0; i < 10; ++i) {
        post(fixture.handler.get(), 1);
    }
    fixture.looper->quit();
    EXPECT_EQ(fixture.handler->getCount(), 0);
    EXPECT_EQ(Message::getLiveCount(), live);
    EXPECT_EQ(fixture.handler->getReferenceCount(), 2);
}

// Watches a timer besides its queue, as a window watches its display.
class TimerLooper : public Looper {
public:
    ~TimerLooper() override { quit(); }

    platform::WaitableTimer mTimer;
    std::atomic<std::uint64_t> mExpiries{0};
    std::atomic<std::uint32_t> mUnknown{0};
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
        mUnknown = message.code;
        mSeen.set();
    }
};

TEST(LooperTest, SubclassHooksWakeTheLoopForAnotherSourceAndUnknownThreadMessages) {
    Pointer<TimerLooper> looper = object::make<TimerLooper>();
    ASSERT_TRUE(looper->run());
    EXPECT_EQ(looper->getThread()->className(), "Object:Thread:LooperThread");
    looper->mTimer.set(-1, 0);
    looper->mSeen.consume();
    EXPECT_EQ(looper->mExpiries.load(), 1u);
    constexpr std::uint32_t kPaint = platform::ThreadQueue::kUser + 7;
    ASSERT_TRUE(platform::ThreadQueue::post(looper->getThread()->getThreadId(), kPaint, 0, 0));
    looper->mSeen.consume();
    EXPECT_EQ(looper->mUnknown.load(), kPaint);
}

// Closes itself from its destructor, as a window does: sends and waits.
class ClosingLooper : public Looper {
public:
    static constexpr std::uint32_t kClose = 7;

    explicit ClosingLooper(std::atomic<int>* deaths) : mDeaths(deaths) {}
    ~ClosingLooper() override {
        if (send(this, kClose)) {
            mClosed.wait();
        }
        quit();
        ++*mDeaths;
    }
    bool onMessage(Message& message) override {
        if (message.getWhat() == kClose) {
            mClosed.set();
        }
        return true;
    }

private:
    std::atomic<int>* mDeaths;
    system::Signal mClosed;
};

TEST(LooperTest, DestructorThatMessagesItsOwnLooperIsServedAndDiesOnce) {
    const std::int64_t live = Message::getLiveCount();
    std::atomic<int> deaths{0};
    Pointer<ClosingLooper> looper = object::make<ClosingLooper>(&deaths);
    ASSERT_TRUE(looper->run());
    looper.reset();
    EXPECT_EQ(deaths.load(), 1);
    EXPECT_EQ(Message::getLiveCount(), live);
}

}  // namespace
}  // namespace nevrik::application
