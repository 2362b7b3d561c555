#include "nevrik/platform/Clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>

namespace nevrik::platform {
namespace {

// Pins the time zone for one test and restores the caller's afterwards.
class ZoneScope {
public:
    explicit ZoneScope(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            mOld = old;
            mHadOld = true;
        }
        setenv("TZ", zone, 1);
    }
    ~ZoneScope() {
        if (mHadOld) {
            setenv("TZ", mOld.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::string mOld;
    bool mHadOld = false;
};

constexpr std::uint64_t kMicrosecondsPerSecond = 1000000;

// 1999-12-31 23:59:59 UTC in Unix seconds.
constexpr std::uint64_t kLastSecondOf1999 = 946684799;

TEST(ClockTest, NowCountsFrom1601) {
    const auto unixMicroseconds = std::chrono::duration_cast<std::chrono::microseconds>(
                                      std::chrono::system_clock::now().time_since_epoch())
                                      .count();
    const std::uint64_t now = Clock::now();
    const auto expected =
        static_cast<std::uint64_t>(unixMicroseconds) + 11644473600ull * kMicrosecondsPerSecond;
    EXPECT_NEAR(static_cast<double>(now), static_cast<double>(expected), 2.0 * kMicrosecondsPerSecond);
}

TEST(ClockTest, FormatLocalShowsDateSpaceAnd24HourTime) {
    ZoneScope zone("UTC0");
    const std::string text =
        Clock::formatLocal(Clock::kUnixEpoch + kLastSecondOf1999 * kMicrosecondsPerSecond);
    const std::size_t space = text.find(' ');
    ASSERT_NE(space, std::string::npos) << text;
    EXPECT_EQ(text.substr(space), " 23:59:59");
    const std::string date = text.substr(0, space);
    EXPECT_NE(date.find("12"), std::string::npos) << date;
    EXPECT_NE(date.find("31"), std::string::npos) << date;
    EXPECT_NE(date.find("99"), std::string::npos) << date;
}

TEST(ClockTest, FormatLocalFollowsTheTimeZoneAndDropsSubseconds) {
    // Half a second before midnight UTC is 01:59:59 two hours east (POSIX zone signs are inverted).
    ZoneScope zone("EET-2");
    const std::uint64_t value =
        Clock::kUnixEpoch + kLastSecondOf1999 * kMicrosecondsPerSecond + kMicrosecondsPerSecond / 2;
    const std::string text = Clock::formatLocal(value);
    ASSERT_GE(text.size(), 9u);
    EXPECT_EQ(text.substr(text.size() - 9), " 01:59:59");
}

TEST(ClockTest, FormatLocalHandlesTheWholeRange) {
    ZoneScope zone("UTC0");
    // The first instant of the range, long before 1970.
    const std::string first = Clock::formatLocal(0);
    ASSERT_GE(first.size(), 9u);
    EXPECT_EQ(first.substr(first.size() - 9), " 00:00:00");
    // The last one, in the year 586524: no overflow on the way to the calendar.
    const std::string last = Clock::formatLocal(~std::uint64_t{0});
    ASSERT_GE(last.size(), 9u);
    EXPECT_EQ(last.substr(last.size() - 9), " 08:01:49");
}

}  // namespace
}  // namespace nevrik::platform
