#include "nevrik/platform/WaitableTimer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace nevrik::platform {
namespace {

TEST(WaitableTimerTest, OneWaitConsumesPiledUpExpiriesAndExtremeDueTimesNeverFire) {
    WaitableTimer timer;
    timer.set(-1, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // lets periods pass, not a handshake
    EXPECT_GE(timer.wait(), 5u);
    // Re-arming drops what was not consumed; far-off due times do not overflow into "now".
    for (std::int64_t due : {INT64_MIN, INT64_MAX}) {
        timer.set(due, 0);
        EXPECT_EQ(timer.poll(), 0u);
    }
}

}  // namespace
}  // namespace nevrik::platform
