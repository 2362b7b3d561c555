#include "nevrik/platform/Clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

namespace nevrik::platform {
namespace {

constexpr std::uint64_t kSecond = 1000000;
// 1999-12-31 23:59:59 UTC, in microseconds since 1601.
constexpr std::uint64_t kLastSecondOf1999 = Clock::kUnixEpoch + 946684799 * kSecond;

// The time part of formatLocal(microseconds) in time zone `zone`.
std::string timeIn(const char* zone, std::uint64_t microseconds) {
    setenv("TZ", zone, 1);
    const std::string text = Clock::formatLocal(microseconds);
    unsetenv("TZ");
    tzset();
    const std::size_t space = text.rfind(' ');
    return space == std::string::npos ? text : text.substr(space + 1);
}

TEST(ClockTest, NowCountsMicrosecondsFrom1601) {
    const auto sinceUnix = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    const double expected = static_cast<double>(sinceUnix.count()) + 11644473600.0 * kSecond;
    EXPECT_NEAR(static_cast<double>(Clock::now()), expected, 2.0 * kSecond);
}

TEST(ClockTest, FormatLocalIsShortDateSpace24HourTimeInTheLocalZone) {
    setenv("TZ", "UTC0", 1);
    const std::string text = Clock::formatLocal(kLastSecondOf1999);
    const std::string date = text.substr(0, text.find(' '));
    EXPECT_NE(date.find("12"), std::string::npos) << text;
    EXPECT_NE(date.find("31"), std::string::npos) << text;
    EXPECT_EQ(timeIn("UTC0", kLastSecondOf1999), "23:59:59");
    // Two hours east (POSIX zone signs are inverted); fractions are dropped.
    EXPECT_EQ(timeIn("EET-2", kLastSecondOf1999 + kSecond / 2), "01:59:59");
    // Both ends of the range, long before 1970 and in the year 586524.
    EXPECT_EQ(timeIn("UTC0", 0), "00:00:00");
    EXPECT_EQ(timeIn("UTC0", ~std::uint64_t{0}), "08:01:49");
}

TEST(ClockTest, ThreadTimeCountsOnlyTheCallersProcessorTime) {
    // Burn 50 ms of this thread's processor time; the loop ends whatever the load.
    const std::uint64_t start = Clock::threadTime();
    volatile std::uint64_t sink = 0;
    while (Clock::threadTime() - start < 50000) {
        sink = sink + 1;
    }
    const std::uint64_t mine = Clock::threadTime();
    EXPECT_GE(mine, start + 50000);
    // A fresh thread has used almost none of it.
    std::uint64_t fresh = 0;
    std::thread([&fresh] { fresh = Clock::threadTime(); }).join();
    EXPECT_LT(fresh, 50000u);
}

}  // namespace
}  // namespace nevrik::platform
