#include "nevrik/system/Timestamp.h"

#include <gtest/gtest.h>

#include <cctype>
#include <clocale>
#include <ctime>
#include <string>

namespace nevrik::system {
namespace {

// "HH:MM:SS" with hours 00 to 23.
bool is24HourTime(const std::string& text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') {
        return false;
    }
    for (std::size_t i : {0, 1, 3, 4, 6, 7}) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            return false;
        }
    }
    return text.compare(0, 2, "24") < 0;
}

TEST(TimestampTest, ToStringOfNowShowsTodaysLocalDateAndA24HourTime) {
    // Today's date from the C library in the user's locale; either day is
    // right if midnight passes between the readings.
    const std::string oldLocale = std::setlocale(LC_TIME, nullptr);
    std::setlocale(LC_TIME, "");
    const auto today = [] {
        const std::time_t now = std::time(nullptr);
        char text[64];
        std::strftime(text, sizeof text, "%x", std::localtime(&now));
        return std::string(text);
    };
    const std::string before = today();
    Timestamp stamp;
    stamp.now();
    const std::string text = stamp.toString().c_str();
    const std::string after = today();
    std::setlocale(LC_TIME, oldLocale.c_str());

    const std::size_t space = text.rfind(' ');
    ASSERT_NE(space, std::string::npos) << text;
    const std::string date = text.substr(0, space);
    EXPECT_TRUE(date == before || date == after) << text;
    EXPECT_TRUE(is24HourTime(text.substr(space + 1))) << text;
}

}  // namespace
}  // namespace nevrik::system
