#include "nevrik/system/Signal.h"

#include <gtest/gtest.h>

#include <thread>

namespace nevrik::system {
namespace {

TEST(SignalTest, WaitLeavesTheFlagUpAndConsumeTakesItDownWithoutLosingASet) {
    Signal ping;
    ping.set();
    ping.wait();
    EXPECT_TRUE(ping.isSet());
    ping.consume();
    EXPECT_FALSE(ping.isSet());

    // A set racing a consume must never leave a signalled event behind a low flag.
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
        EXPECT_EQ(seen, i + 1);
    }
    partner.join();
}

}  // namespace
}  // namespace nevrik::system
