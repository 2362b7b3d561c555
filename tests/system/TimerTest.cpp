#include "nevrik/system/Timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace nevrik::system {
namespace {

TEST(TimerTest, StartedAtZeroReadsAboutZeroThenAboutAThousandASecondLater) {
    Timer timer;
    timer.start(0);
    const std::int64_t first = timer.read();
    EXPECT_GE(first, 0);
    EXPECT_LE(first, 5);
    std::this_thread::sleep_for(std::chrono::seconds(1));  // the time being measured
    const std::int64_t later = timer.read();
    EXPECT_GE(later, 995);
    EXPECT_LE(later, 1500);
    EXPECT_EQ(timer.getElapsed(), later - first);

    timer.start(-5000);
    EXPECT_EQ(timer.getLastValue(), -5000);
    EXPECT_EQ(timer.getElapsed(), 0);
    EXPECT_LE(timer.read(), -4990);
}

}  // namespace
}  // namespace nevrik::system
