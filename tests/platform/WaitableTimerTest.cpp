#include "nevrik/platform/WaitableTimer.h"

#include "nevrik/platform/Clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace nevrik::platform {
namespace {

constexpr std::int64_t kOneHour = -36000000000;  // relative, 100 ns units

TEST(WaitableTimerTest, DueMinusOneExpiresAtOnceAndOnlyOnceWithoutPeriod) {
    WaitableTimer timer;
    timer.set(-1, 0);
    EXPECT_EQ(timer.wait(), 1u);
    EXPECT_EQ(timer.poll(), 0u);
}

TEST(WaitableTimerTest, AbsoluteDueTimeInThePastExpiresAtOnce) {
    WaitableTimer timer;
    timer.set(static_cast<std::int64_t>(Clock::now() * 10) - 10000000, 0);
    EXPECT_EQ(timer.wait(), 1u);
}

TEST(WaitableTimerTest, OneWaitConsumesEveryPiledUpExpiry) {
    WaitableTimer timer;
    timer.set(-1, 1);
    // Let a few periods pass without waiting.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GE(timer.wait(), 5u);
}

TEST(WaitableTimerTest, CancelAndRearmDropPendingExpiries) {
    WaitableTimer timer;
    timer.set(-1, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    timer.cancel();
    EXPECT_EQ(timer.poll(), 0u);

    timer.set(-1, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    timer.set(kOneHour, 0);
    EXPECT_EQ(timer.poll(), 0u);
}

TEST(WaitableTimerTest, SetFromAnotherThreadWakesTheWaiter) {
    WaitableTimer timer;
    timer.set(kOneHour, 0);
    std::thread setter([&] { timer.set(-1, 0); });
    EXPECT_EQ(timer.wait(), 1u);
    setter.join();
}

TEST(WaitableTimerTest, ExtremeDueTimesDoNotOverflowIntoExpiries) {
    WaitableTimer timer;
    timer.set(INT64_MIN, 0);
    EXPECT_EQ(timer.poll(), 0u);
    timer.set(INT64_MAX, 0);
    EXPECT_EQ(timer.poll(), 0u);
}

}  // namespace
}  // namespace nevrik::platform
