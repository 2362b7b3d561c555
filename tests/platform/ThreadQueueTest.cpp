#include "nevrik/platform/ThreadQueue.h"

#include "nevrik/platform/ThreadHandle.h"
#include "nevrik/platform/ThreadId.h"
#include "nevrik/platform/WaitableTimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <future>
#include <thread>

namespace nevrik::platform {
namespace {

constexpr std::uint32_t kCode = ThreadQueue::kUser + 1;

// The calling thread's queue, closed again when the test ends.
class OwnQueue {
public:
    OwnQueue() : mQueue(ThreadQueue::current()) {}
    ~OwnQueue() { ThreadQueue::closeCurrent(); }
    ThreadQueue* operator->() { return &mQueue; }

private:
    ThreadQueue& mQueue;
};

TEST(ThreadQueueTest, PostingNeedsTheOwnersFirstCallAndFailsOnceItEnded) {
    std::promise<std::uint32_t> idKnown;
    std::promise<void> firstPostDone;
    std::promise<void> queueMade;
    std::promise<void> posted;
    std::uintptr_t received = 0;
    std::thread owner([&] {
        idKnown.set_value(ThreadId::current());
        firstPostDone.get_future().wait();
        ThreadQueue& queue = ThreadQueue::current();
        queueMade.set_value();
        posted.get_future().wait();
        ThreadMessage message;
        ASSERT_TRUE(queue.peek(message));
        received = message.first;
    });
    const std::uint32_t id = idKnown.get_future().get();
    EXPECT_FALSE(ThreadQueue::post(id, kCode, 1, 0));
    firstPostDone.set_value();
    queueMade.get_future().wait();
    EXPECT_TRUE(ThreadQueue::post(id, kCode, 2, 0));
    posted.set_value();
    owner.join();
    EXPECT_EQ(received, 2u);
    EXPECT_FALSE(ThreadQueue::post(id, kCode, 3, 0));
}

TEST(ThreadQueueTest, MessagesComeOutInOrderWithFullWidthWords) {
    OwnQueue queue;
    const std::uint32_t self = ThreadId::current();
    ASSERT_TRUE(ThreadQueue::post(self, kCode, UINTPTR_MAX, 0));
    ASSERT_TRUE(ThreadQueue::post(self, ThreadQueue::kQuit, 0, UINTPTR_MAX - 1));
    ThreadMessage message;
    ASSERT_TRUE(queue->peek(message));
    EXPECT_EQ(message.code, kCode);
    EXPECT_EQ(message.first, UINTPTR_MAX);
    ASSERT_TRUE(queue->peek(message));
    EXPECT_EQ(message.code, ThreadQueue::kQuit);
    EXPECT_EQ(message.second, UINTPTR_MAX - 1);
    EXPECT_FALSE(queue->peek(message));
}

TEST(ThreadQueueTest, CloseHandsBackWhatWaitedAndRefusesLaterPosts) {
    ThreadQueue::current();
    const std::uint32_t self = ThreadId::current();
    ASSERT_TRUE(ThreadQueue::post(self, kCode, 7, 0));
    const auto left = ThreadQueue::closeCurrent();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].first, 7u);
    EXPECT_FALSE(ThreadQueue::post(self, kCode, 8, 0));
    EXPECT_TRUE(ThreadQueue::closeCurrent().empty());
}

TEST(ThreadQueueTest, WaitWakesForAPostFromAnotherThread) {
    OwnQueue queue;
    const std::uint32_t self = ThreadId::current();
    std::thread poster([self] { ThreadQueue::post(self, kCode, 5, 0); });
    ThreadMessage message;
    while (!queue->peek(message)) {
        queue->wait();
    }
    EXPECT_EQ(message.first, 5u);
    poster.join();
}

TEST(ThreadQueueTest, WaitWakesForTheExtraDescriptorWithNothingPosted) {
    OwnQueue queue;
    WaitableTimer timer;
    timer.set(-1, 0);
    queue->wait(timer.getDescriptor());
    EXPECT_EQ(timer.poll(), 1u);
    ThreadMessage message;
    EXPECT_FALSE(queue->peek(message));
}

TEST(ThreadQueueTest, ManyPostersLoseNothingAndKeepTheirOrder) {
    constexpr int kPosters = 4;
    constexpr std::uintptr_t kEach = 20000;
    OwnQueue queue;
    const std::uint32_t self = ThreadId::current();
    std::vector<std::thread> posters;
    for (int poster = 0; poster < kPosters; ++poster) {
        posters.emplace_back([self, poster] {
            for (std::uintptr_t i = 0; i < kEach; ++i) {
                ThreadQueue::post(self, kCode, static_cast<std::uintptr_t>(poster), i);
            }
        });
    }
    std::uintptr_t next[kPosters] = {};
    std::uintptr_t total = 0;
    ThreadMessage message;
    while (total < kPosters * kEach) {
        if (!queue->peek(message)) {
            queue->wait();
            continue;
        }
        ASSERT_EQ(message.second, next[message.first]);
        ++next[message.first];
        ++total;
    }
    for (auto& poster : posters) {
        poster.join();
    }
    EXPECT_FALSE(queue->peek(message));
}

TEST(ThreadQueueTest, StartedThreadRunsWithItsGivenIdAndAnyNumberMayJoin) {
    struct Seen {
        std::uint32_t id = 0;
        bool hadQueue = false;
    } seen;
    const std::uint32_t id = ThreadHandle::nextId();
    ASSERT_NE(id, 0u);
    ThreadHandle handle = ThreadHandle::start(
        [](void* argument) {
            auto* into = static_cast<Seen*>(argument);
            into->id = ThreadId::current();
            ThreadQueue::current();
            into->hadQueue = ThreadQueue::post(into->id, kCode, 0, 0);
        },
        &seen, id);
    ASSERT_TRUE(handle.isValid());
    std::thread secondJoiner([handle] { handle.join(); });
    handle.join();
    secondJoiner.join();
    EXPECT_EQ(seen.id, id);
    EXPECT_TRUE(seen.hadQueue);
    // The queue went with the thread.
    EXPECT_FALSE(ThreadQueue::post(id, kCode, 0, 0));
    ThreadHandle().join();  // no thread: returns at once
}

}  // namespace
}  // namespace nevrik::platform
