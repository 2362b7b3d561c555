#include "nevrik/system/Timestamp.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <ctime>
#include <string>

namespace nevrik::system {
namespace {

bool isTwoDigits(const std::string& text, std::size_t at, int max) {
    if (!std::isdigit(static_cast<unsigned char>(text[at])) || !std::isdigit(static_cast<unsigned char>(text[at + 1]))) {
        return false;
    }
    return (text[at] - '0') * 10 + (text[at + 1] - '0') <= max;
}

// "HH:MM:SS", hours 00-23.
bool is24HourTime(const std::string& text) {
    return text.size() == 8 && text[2] == ':' && text[5] == ':' && isTwoDigits(text, 0, 23) &&
           isTwoDigits(text, 3, 59) && isTwoDigits(text, 6, 60);
}

TEST(TimestampTest, NowFollowsTheSystemClockFrom1601) {
    Timestamp stamp;
    EXPECT_EQ(stamp.getMicroseconds(), 0u);
    stamp.now();
    const auto unixSeconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    const auto seconds = static_cast<std::int64_t>(stamp.getMicroseconds() / 1000000) - 11644473600ll;
    EXPECT_LE(std::abs(seconds - unixSeconds), 2);
}

TEST(TimestampTest, ToStringOfNowShowsTodaysLocalDateAndA24HourTime) {
    // The reference date comes from the C library in the user's locale; if
    // midnight passes between the readings, either day is right.
    const std::string oldLocale = std::setlocale(LC_TIME, nullptr);
    std::setlocale(LC_TIME, "");
    const auto dateOf = [](std::time_t when) {
        char text[64];
        std::tm local = *std::localtime(&when);
        std::strftime(text, sizeof text, "%x", &local);
        return std::string(text);
    };
    const std::string before = dateOf(std::time(nullptr));
    Timestamp stamp;
    stamp.now();
    const std::string text = stamp.toString().c_str();
    const std::string after = dateOf(std::time(nullptr));
    std::setlocale(LC_TIME, oldLocale.c_str());

    const std::size_t space = text.rfind(' ');
    ASSERT_NE(space, std::string::npos) << text;
    const std::string date = text.substr(0, space);
    EXPECT_TRUE(date == before || date == after) << text;
    EXPECT_TRUE(is24HourTime(text.substr(space + 1))) << text;
}

TEST(TimestampTest, ClassPath) { EXPECT_EQ(Timestamp().className(), "Object:Timestamp"); }

}  // namespace
}  // namespace nevrik::system
