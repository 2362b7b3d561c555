#include "nevrik/platform/Clock.h"

#include <locale.h>
#include <time.h>
#include <clocale>
#include <ctime>

namespace nevrik::platform {
namespace {

// The user's time locale (from LC_ALL / LC_TIME / LANG), made once and kept for
// the life of the process. Using it through strftime_l leaves the process-wide
// locale, which other code may rely on being "C", alone.
locale_t userTimeLocale() noexcept {
    static const locale_t sLocale = [] {
        locale_t made = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
        return made != static_cast<locale_t>(0) ? made
                                                : newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
    }();
    return sLocale;
}

}  // namespace

std::uint64_t Clock::now() noexcept {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000 + static_cast<std::uint64_t>(now.tv_nsec) / 1000 +
           kUnixEpoch;
}

std::uint64_t Clock::threadTime() noexcept {
    timespec used{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return static_cast<std::uint64_t>(used.tv_sec) * 1000000 + static_cast<std::uint64_t>(used.tv_nsec) / 1000;
}

std::string Clock::formatLocal(std::uint64_t microseconds) {
    // Signed seconds relative to 1970: times before 1970 are valid too.
    const auto unixSeconds =
        static_cast<std::int64_t>(microseconds / 1000000) - static_cast<std::int64_t>(kUnixEpoch / 1000000);
    const auto seconds = static_cast<time_t>(unixSeconds);
    // Re-read TZ each time so that a changed time zone shows at once.
    tzset();
    tm local{};
    if (localtime_r(&seconds, &local) == nullptr) {
        return std::string();
    }
    char text[128];
    const std::size_t length = strftime_l(text, sizeof text, "%x %H:%M:%S", &local, userTimeLocale());
    if (length == 0) {
        return std::string();
    }
    return std::string(text, length);
}

}  // namespace nevrik::platform
