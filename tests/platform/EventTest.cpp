#include "nevrik/platform/Event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace nevrik::platform {
namespace {

TEST(EventTest, SetReleasesEveryWaiterAndStaysSignalledUntilReset) {
    Event event;
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; ++i) {
        waiters.emplace_back([&] {
            event.wait();
            ++released;
        });
    }
    event.set();
    for (auto& waiter : waiters) {
        waiter.join();
    }
    EXPECT_EQ(released.load(), 4);
    EXPECT_TRUE(event.isSet());
    event.wait();  // signalled: returns at once
    event.reset();
    EXPECT_FALSE(event.isSet());
}

TEST(EventTest, PulseReleasesAWaiterAndLeavesTheEventNonSignalled) {
    Event event;
    std::atomic<bool> released{false};
    std::thread waiter([&] {
        event.wait();
        released = true;
    });
    // The waiter may not be waiting yet when a pulse comes; a pulse that finds
    // nobody is lost, so pulse until one lands.
    while (!released) {
        event.pulse();
        std::this_thread::yield();
    }
    waiter.join();
    EXPECT_FALSE(event.isSet());
}

TEST(EventTest, PulseAfterSetLeavesTheEventNonSignalled) {
    Event event;
    event.set();
    event.pulse();
    EXPECT_FALSE(event.isSet());
}

}  // namespace
}  // namespace nevrik::platform
