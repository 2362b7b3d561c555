#include "nevrik/system/Signal.h"

#include <gtest/gtest.h>

#include <thread>

namespace nevrik::system {
namespace {

TEST(SignalTest, WaitLeavesTheFlagUpAndConsumeTakesItDown) {
    Signal signal;
    EXPECT_FALSE(signal.isSet());
    signal.set();
    signal.wait();
    EXPECT_TRUE(signal.isSet());
    signal.consume();
    EXPECT_FALSE(signal.isSet());
    signal.set();
    signal.reset();
    EXPECT_FALSE(signal.isSet());
}

TEST(SignalTest, PingPongLosesNoWakeUp) {
    Signal ping;
    Signal pong;
    constexpr int kRounds = 2000;
    int seen = 0;
    std::thread partner([&] {
        for (int i = 0; i < kRounds; ++i) {
            ping.consume();
            ++seen;
            pong.set();
        }
    });
    for (int i = 0; i < kRounds; ++i) {
        ping.set();
        pong.consume();
        ASSERT_EQ(seen, i + 1);
    }
    partner.join();
}

}  // namespace
}  // namespace nevrik::system
