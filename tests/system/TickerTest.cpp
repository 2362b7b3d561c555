#include "nevrik/system/Ticker.h"

#include "nevrik/system/Signal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace nevrik::system {
namespace {

// Counts ticks and raises a signal when the count reaches the goal.
class CountingTicker : public Ticker {
public:
    ~CountingTicker() override { stop(); }

    void tick() override {
        if (++mTicks == mGoal.load()) {
            mReached.set();
        }
    }

    // Blocks until `count` ticks in all have come.
    void waitFor(int count) {
        mReached.reset();
        mGoal = count;
        if (mTicks.load() < count) {
            mReached.wait();
        }
    }

    std::atomic<int> mTicks{0};
    std::atomic<int> mGoal{0};
    Signal mReached;
};

TEST(TickerTest, Period14TicksAtAboutThatRate) {
    CountingTicker ticker;
    EXPECT_EQ(ticker.getPeriod(), Ticker::kDefaultPeriod);
    ticker.setPeriod(14);
    const auto begin = std::chrono::steady_clock::now();
    ticker.start();
    ticker.waitFor(31);  // the first comes at once, then 30 periods
    const auto took = std::chrono::steady_clock::now() - begin;
    ticker.stop();
    // A periodic timer never runs fast; a loaded machine may make it slow.
    EXPECT_GE(took, std::chrono::milliseconds(30 * 14 - 5));
    EXPECT_LT(took, std::chrono::milliseconds(30 * 14 * 4));
}

TEST(TickerTest, StopEndsTheThreadEvenWithALongPeriod) {
    CountingTicker ticker;
    ticker.setPeriod(3600 * 1000);
    ticker.start();
    ticker.waitFor(1);
    EXPECT_TRUE(ticker.getThread().isStarted());
    ticker.stop();
    EXPECT_FALSE(ticker.isRunning());
    EXPECT_FALSE(ticker.getThread().isStarted());
    EXPECT_FALSE(ticker.getThread().isRunning());
    EXPECT_EQ(ticker.mTicks.load(), 1);
    ticker.stop();  // stopped already: nothing to do
}

TEST(TickerTest, SetPeriodWhileRunningTicksAtOnceAndStartAgainAfterStop) {
    CountingTicker ticker;
    ticker.setPeriod(3600 * 1000);
    ticker.start();
    ticker.waitFor(1);
    ticker.setPeriod(3600 * 1000);
    ticker.waitFor(2);
    ticker.stop();
    ticker.start();
    ticker.waitFor(3);
    ticker.stop();
    EXPECT_EQ(ticker.mTicks.load(), 3);
}

TEST(TickerTest, StopRightAfterStartDoesNotLeaveTheThreadBehind) {
    for (int round = 0; round < 50; ++round) {
        CountingTicker ticker;
        ticker.start();
        ticker.stop();
        EXPECT_FALSE(ticker.getThread().isStarted());
    }
}

TEST(TickerTest, ClassPaths) {
    Ticker ticker;
    EXPECT_EQ(ticker.className(), "Object:Ticker");
    EXPECT_EQ(ticker.getThread().className(), "Object:Thread:TickerThread");
}

}  // namespace
}  // namespace nevrik::system
