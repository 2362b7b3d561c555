#pragma once

#include <cstdint>

namespace nevrik::platform {

/// An auto-reset waitable timer: it expires once at its due time and then
/// once per period; a wait consumes every expiry that has piled up.
///
/// Owned by value; one thread waits on it, any thread may set or cancel it.
class WaitableTimer {
public:
    /// Throws std::system_error when the system has no timer left to give.
    WaitableTimer();
    ~WaitableTimer();
    WaitableTimer(const WaitableTimer&) = delete;
    WaitableTimer& operator=(const WaitableTimer&) = delete;

    /// Arms the timer. `dueTime` in 100 ns units: negative is relative to now
    /// (-1 = at once), positive an absolute time since 1601-01-01 UTC (a past
    /// one expires at once), 0 at once. `periodMilliseconds` 0 = a single expiry.
    /// Re-arming drops expiries not yet consumed.
    void set(std::int64_t dueTime, std::uint32_t periodMilliseconds);
    /// Disarms the timer; a waiting thread stays blocked.
    void cancel();
    /// Blocks until the timer has expired at least once; returns how many
    /// expiries this wait consumed.
    std::uint64_t wait();
    /// Consumes the expiries so far without blocking; 0 when there were none.
    std::uint64_t poll();

    /// Readable while an expiry is pending; for a poll() over several sources.
    int getDescriptor() const noexcept { return mDescriptor; }

private:
    int mDescriptor;
};

}  // namespace nevrik::platform
