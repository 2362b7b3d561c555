#include "nevrik/platform/ThreadQueue.h"

#include "nevrik/platform/ThreadHandle.h"
#include "nevrik/platform/ThreadId.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace nevrik::platform {
namespace {

constexpr std::uint32_t kCode = ThreadQueue::kUser + 1;

TEST(ThreadQueueTest, PostingNeedsTheOwnersQueueAndFailsOnceItsThreadEnded) {
    std::promise<std::uint32_t> idKnown;
    std::promise<void> firstPostDone;
    std::promise<void> queueMade;
    std::promise<void> secondPostDone;
    std::thread owner([&] {
        idKnown.set_value(ThreadId::current());
        firstPostDone.get_future().wait();
        ThreadQueue::current();
        queueMade.set_value();
        secondPostDone.get_future().wait();
    });
    const std::uint32_t id = idKnown.get_future().get();
    EXPECT_FALSE(ThreadQueue::post(id, kCode, 1, 0));
    firstPostDone.set_value();
    queueMade.get_future().wait();
    EXPECT_TRUE(ThreadQueue::post(id, kCode, 2, 0));
    secondPostDone.set_value();
    owner.join();
    EXPECT_FALSE(ThreadQueue::post(id, kCode, 3, 0));

    // A started thread: its id is known before it runs, its queue goes with it.
    const std::uint32_t startedId = ThreadHandle::nextId();
    std::uint32_t seen = 0;
    const ThreadHandle handle = ThreadHandle::start(
        [](void* into) {
            *static_cast<std::uint32_t*>(into) = ThreadId::current();
            ThreadQueue::current();
        },
        &seen, startedId);
    handle.join();
    EXPECT_EQ(seen, startedId);
    EXPECT_FALSE(ThreadQueue::post(startedId, kCode, 0, 0));
}

}  // namespace
}  // namespace nevrik::platform
