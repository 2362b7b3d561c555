#include "nevrik/system/Ticker.h"

#include "nevrik/system/Signal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace nevrik::system {
namespace {

constexpr std::uint32_t kOneHour = 3600 * 1000;

// Counts ticks; waitFor() blocks until a given total has come.
class CountingTicker : public Ticker {
public:
    ~CountingTicker() override { stop(); }

    void tick() override {
        ++mTicks;
        mTicked.set();
    }
    void waitFor(int count) {
        while (mTicks.load() < count) {
            mTicked.consume();
        }
    }

    std::atomic<int> mTicks{0};
    Signal mTicked;
};

TEST(TickerTest, Period14TicksAtAboutThatRate) {
    CountingTicker ticker;
    EXPECT_EQ(ticker.getPeriod(), Ticker::kDefaultPeriod);
    ticker.setPeriod(14);
    const auto begin = std::chrono::steady_clock::now();
    ticker.start();
    ticker.waitFor(31);  // the first at once, then 30 periods
    const auto took = std::chrono::steady_clock::now() - begin;
    ticker.stop();
    // A periodic timer never runs fast; a loaded machine may make it slow.
    EXPECT_GE(took, std::chrono::milliseconds(30 * 14 - 5));
    EXPECT_LT(took, std::chrono::milliseconds(30 * 14 * 4));
}

TEST(TickerTest, StopEndsTheThreadEvenWithALongPeriodAndStartResumes) {
    CountingTicker ticker;
    ticker.setPeriod(kOneHour);
    ticker.start();
    ticker.waitFor(1);
    // A running ticker re-arms at once: the next tick comes now, not in an hour.
    ticker.setPeriod(kOneHour);
    ticker.waitFor(2);
    ticker.stop();
    EXPECT_FALSE(ticker.isRunning());
    EXPECT_FALSE(ticker.getThread().isStarted());
    ticker.stop();
    ticker.start();
    ticker.waitFor(3);
    ticker.stop();
    EXPECT_EQ(ticker.mTicks.load(), 3);
    EXPECT_EQ(ticker.getThread().className(), "Object:Thread:TickerThread");
}

TEST(TickerTest, StopRightAfterStartLeavesNoThreadBehind) {
    for (int round = 0; round < 50; ++round) {
        CountingTicker ticker;
        ticker.start();
        ticker.stop();
        EXPECT_FALSE(ticker.getThread().isStarted());
    }
}

// Stops itself from its first tick, as a one-shot user of a ticker does.
class OneShotTicker : public Ticker {
public:
    ~OneShotTicker() override { stop(); }

    void tick() override {
        stop();
        std::lock_guard<std::mutex> guard(mMutex);
        ++mTicks;
        mTicked.notify_all();
    }
    // False when no tick brings the total to `count` within a generous guard.
    bool waitFor(int count) {
        std::unique_lock<std::mutex> guard(mMutex);
        return mTicked.wait_for(guard, std::chrono::seconds(20), [&] { return mTicks >= count; });
    }

    std::mutex mMutex;
    std::condition_variable mTicked;
    int mTicks = 0;
};

TEST(TickerTest, StressSelfStoppedTickerRestartedByItsControllerAlwaysTicksAgain) {
    constexpr int kRounds = 4000 * NEVRIK_STRESS_SCALE;
    OneShotTicker ticker;
    ticker.setPeriod(kOneHour);
    for (int round = 1; round <= kRounds; ++round) {
        // Restarted the moment the tick is seen: the ticker thread is then
        // anywhere between its tick and its end.
        ticker.start();
        ASSERT_TRUE(ticker.waitFor(round)) << "no tick after start in round " << round;
    }
    ticker.stop();
    EXPECT_FALSE(ticker.getThread().isStarted());
}

}  // namespace
}  // namespace nevrik::system
