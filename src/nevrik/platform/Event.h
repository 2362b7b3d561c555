#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace nevrik::platform {

/// A manual-reset event: once set it stays signalled, releasing every waiter,
/// until reset.
///
/// Held by value by its owner; any thread may use it.
class Event {
public:
    Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void set();
    void reset();
    /// Releases every thread waiting right now and leaves the event
    /// non-signalled; a thread that starts waiting afterwards is not released.
    void pulse();
    /// Blocks until the event is signalled (returns at once if it is) or pulsed.
    void wait();
    /// As wait(), then makes the event non-signalled, in one step: a set()
    /// that comes after the wake-up is never lost.
    void consume();

    bool isSet() const;

private:
    // Wakes every current waiter and leaves the event signalled or not.
    void release(bool stayingSignalled);
    void waitLocked(std::unique_lock<std::mutex>& guard);

    mutable std::mutex mMutex;
    std::condition_variable mChanged;
    bool mSignalled = false;
    // Bumped by every set and pulse: a waiter whose generation has passed was
    // released, even if the event is non-signalled again by the time it wakes.
    std::uint64_t mGeneration = 0;
};

}  // namespace nevrik::platform
