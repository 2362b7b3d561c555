// Stress tests of the message framework's promises under any interleaving:
// each runs a fixed number of rounds (more under ThreadSanitizer, which finds
// races by watching them happen) and waits only on what it checks.
#include "nevrik/application/Looper.h"

#include "RecordingHandler.h"
#include "nevrik/application/Message.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/system/Signal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace nevrik::application {
namespace {

using object::Pointer;
using testing::RecordingHandler;

constexpr int kScale = NEVRIK_STRESS_SCALE;

// Spins until `counter` reaches `goal`: a point in another thread's run to
// act at, not a wait for an outcome.
void yieldUntil(const std::atomic<int>& counter, int goal) {
    while (counter.load() < goal) {
        std::this_thread::yield();
    }
}

TEST(LooperTest, StressDestroyedWhileOthersPostEveryMessageIsDeliveredOrRefused) {
    constexpr int kRounds = 500 * kScale;
    constexpr int kPosters = 2;
    constexpr int kPerPoster = 400;
    const std::int64_t live = Message::getLiveCount();
    for (int round = 0; round < kRounds; ++round) {
        Pointer<RecordingHandler> handler = object::make<RecordingHandler>();
        Pointer<Looper> looper = object::make<Looper>();
        looper->addHandler(handler.get());
        ASSERT_TRUE(looper->run());
        std::atomic<int> attempts{0};
        std::atomic<int> accepted{0};
        std::vector<std::thread> posters;
        for (int i = 0; i < kPosters; ++i) {
            posters.emplace_back([&] {
                for (int sent = 0; sent < kPerPoster; ++sent) {
                    accepted += post(handler.get(), 1) ? 1 : 0;
                    ++attempts;
                }
            });
        }
        // The last reference goes while the posters are in full flow, at a
        // different point of their run each round.
        yieldUntil(attempts, round % (kPosters * kPerPoster));
        looper.reset();
        for (std::thread& poster : posters) {
            poster.join();
        }
        EXPECT_EQ(handler->getMessenger(), nullptr);
        ASSERT_EQ(handler->getCount(), accepted.load()) << "round " << round;
        EXPECT_EQ(handler->getReferenceCount(), 1);
    }
    EXPECT_EQ(Message::getLiveCount(), live);
}

// Counts deliveries that overlap another delivery to the same handler.
class OverlapHandler : public Handler {
public:
    bool onMessage(Message&) override {
        if (mInside.fetch_add(1) != 0) {
            ++mOverlaps;
        }
        // A delivery that lasts a little, so that overlaps have room to show.
        for (volatile int i = 0; i < 2000; i = i + 1) {
        }
        ++mDelivered;
        mInside.fetch_sub(1);
        return true;
    }

    std::atomic<int> mInside{0};
    std::atomic<int> mOverlaps{0};
    std::atomic<int> mDelivered{0};
};

TEST(LooperTest, StressHandlerMovedBetweenRunningLoopersNeverRunsOnTwoThreadsAtOnce) {
    constexpr int kMoves = 1500 * kScale;
    const std::int64_t live = Message::getLiveCount();
    Pointer<Looper> loopers[2] = {object::make<Looper>(), object::make<Looper>()};
    Pointer<OverlapHandler> handler = object::make<OverlapHandler>();
    for (Pointer<Looper>& looper : loopers) {
        ASSERT_TRUE(looper->run());
    }
    loopers[0]->addHandler(handler.get());
    std::atomic<bool> moving{true};
    std::atomic<int> accepted{0};
    std::thread poster([&] {
        while (moving.load()) {
            // Enough in flight that the looper left behind still has some
            // to deliver, few enough that the queues stay bounded.
            if (Message::getLiveCount() - live < 1024) {
                accepted += post(handler.get(), 1) ? 1 : 0;
            } else {
                std::this_thread::yield();
            }
        }
    });
    for (int move = 0; move < kMoves; ++move) {
        // Each move waits for a delivery, so that messages are always queued
        // on the looper the handler leaves.
        const int delivered = handler->mDelivered.load();
        yieldUntil(handler->mDelivered, delivered + 1);
        ASSERT_TRUE(loopers[move % 2]->removeHandler(handler.get()));
        ASSERT_TRUE(loopers[(move + 1) % 2]->addHandler(handler.get()));
    }
    moving = false;
    poster.join();
    for (Pointer<Looper>& looper : loopers) {
        looper->quit();
    }
    EXPECT_EQ(handler->mOverlaps.load(), 0);
    EXPECT_GT(accepted.load(), kMoves);
    EXPECT_EQ(Message::getLiveCount(), live);
}

// A looper subclass that handles messages to itself and tells when it dies.
class SelfLooper : public Looper {
public:
    struct Watch {
        std::atomic<bool> destroying{false};
        std::atomic<int> delivered{0};
        std::atomic<int> afterDestruction{0};
        system::Signal died;
    };

    explicit SelfLooper(std::shared_ptr<Watch> watch) : mWatch(std::move(watch)) {}
    ~SelfLooper() override {
        // Raised first: from here on no message may reach the looper.
        mWatch->destroying = true;
        // As every looper subclass does: the loop calls its virtual
        // operations until the thread has ended.
        quit();
        mWatch->died.set();
    }

    bool onMessage(Message&) override {
        if (mWatch->destroying.load()) {
            ++mWatch->afterDestruction;
        }
        ++mWatch->delivered;
        return true;
    }

private:
    // Shared with the test, which must see it after the looper is gone.
    std::shared_ptr<Watch> mWatch;
};

TEST(LooperTest, StressSubclassReleasedWithMessagesToItselfQueuedNeverGetsThemAfterItsDestructor) {
    constexpr int kRounds = 2000 * kScale;
    constexpr int kMessages = 20;
    const std::int64_t live = Message::getLiveCount();
    for (int round = 0; round < kRounds; ++round) {
        auto watch = std::make_shared<SelfLooper::Watch>();
        Pointer<SelfLooper> looper = object::make<SelfLooper>(watch);
        ASSERT_TRUE(looper->run());
        std::atomic<int> accepted{0};
        std::thread releaser([&] {
            for (int i = 0; i < kMessages; ++i) {
                accepted += post(looper.get(), 1) ? 1 : 0;
            }
            // The last reference goes from a thread that is not the looper's.
            looper.reset();
        });
        releaser.join();
        watch->died.wait();
        ASSERT_EQ(watch->afterDestruction.load(), 0) << "round " << round;
        // Queued messages kept the looper alive until they were delivered.
        ASSERT_EQ(watch->delivered.load(), accepted.load()) << "round " << round;
    }
    EXPECT_EQ(Message::getLiveCount(), live);
}

}  // namespace
}  // namespace nevrik::application
