#pragma once

#include "nevrik/object/Object.h"
#include "nevrik/system/Timestamp.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::system {

/// A millisecond clock that reads a chosen value at the moment it is started
/// and runs with the system time from there.
///
/// Held by value by its user (a view, a universe); one thread at a time.
class Timer : public object::Object {
public:
    Timer() = default;

    /// Makes the timer read `value` now.
    void start(std::int64_t value);

    /// The reading now, in milliseconds. Also remembers it as the last value
    /// and the time since the previous reading as the elapsed time.
    std::int64_t read();

    NEVRIK_CLASS_NAME(object::Object, ":Timer")

    std::int64_t getStartValue() const noexcept { return mStartValue; }
    /// The value of the latest read() (the start value before the first).
    std::int64_t getLastValue() const noexcept { return mLastValue; }
    /// Milliseconds between the two latest readings (0 after start()).
    std::int64_t getElapsed() const noexcept { return mElapsed; }

private:
    std::int64_t now();

    Timestamp mClock;
    std::int64_t mOffset = 0;
    std::int64_t mStartValue = 0;
    std::int64_t mLastValue = 0;
    std::int64_t mElapsed = 0;
};

}  // namespace nevrik::system
