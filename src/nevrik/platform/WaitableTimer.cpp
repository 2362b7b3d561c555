#include "nevrik/platform/WaitableTimer.h"

#include "nevrik/platform/Clock.h"

#include <poll.h>
#include <sys/timerfd.h>
#include <unistd.h>
#include <cerrno>
#include <system_error>

namespace nevrik::platform {
namespace {

constexpr std::int64_t kNanosecondsPerSecond = 1000000000;

timespec fromNanoseconds(std::int64_t nanoseconds) noexcept {
    timespec value{};
    value.tv_sec = static_cast<time_t>(nanoseconds / kNanosecondsPerSecond);
    value.tv_nsec = static_cast<long>(nanoseconds % kNanosecondsPerSecond);
    return value;
}

// Nanoseconds from now until `dueTime` (100 ns units, see set()); at least 1,
// since an all-zero expiry would disarm the timer instead of firing it.
std::int64_t nanosecondsUntil(std::int64_t dueTime) noexcept {
    std::int64_t delay = 0;
    if (dueTime < 0) {
        // -(INT64_MIN) overflows; that due time is as far away as any.
        delay = dueTime == INT64_MIN ? INT64_MAX / 100 : -dueTime;
    } else if (dueTime > 0) {
        delay = dueTime - static_cast<std::int64_t>(Clock::now() * 10);
    }
    if (delay > INT64_MAX / 100) {
        return INT64_MAX;
    }
    return delay > 0 ? delay * 100 : 1;
}

void arm(int descriptor, std::int64_t firstNanoseconds, std::int64_t periodNanoseconds) {
    itimerspec setting{};
    setting.it_value = fromNanoseconds(firstNanoseconds);
    setting.it_interval = fromNanoseconds(periodNanoseconds);
    timerfd_settime(descriptor, 0, &setting, nullptr);
}

}  // namespace

WaitableTimer::WaitableTimer() : mDescriptor(timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK)) {
    if (mDescriptor < 0) {
        throw std::system_error(errno, std::generic_category(), "WaitableTimer: timerfd_create");
    }
}

WaitableTimer::~WaitableTimer() {
    close(mDescriptor);
}

void WaitableTimer::set(std::int64_t dueTime, std::uint32_t periodMilliseconds) {
    arm(mDescriptor, nanosecondsUntil(dueTime), static_cast<std::int64_t>(periodMilliseconds) * 1000000);
}

void WaitableTimer::cancel() {
    arm(mDescriptor, 0, 0);
}

std::uint64_t WaitableTimer::wait() {
    // The descriptor is non-blocking so that poll() can share it; waiting is a
    // poll() for readability, retried when the expiry was taken or the timer
    // re-armed in between.
    for (;;) {
        if (const std::uint64_t expiries = poll()) {
            return expiries;
        }
        pollfd entry{mDescriptor, POLLIN, 0};
        ::poll(&entry, 1, -1);
    }
}

std::uint64_t WaitableTimer::poll() {
    std::uint64_t expiries = 0;
    while (read(mDescriptor, &expiries, sizeof expiries) < 0) {
        if (errno != EINTR) {
            return 0;
        }
    }
    return expiries;
}

}  // namespace nevrik::platform
