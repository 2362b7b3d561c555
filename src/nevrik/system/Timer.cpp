#include "nevrik/system/Timer.h"

namespace nevrik::system {

void Timer::start(std::int64_t value) {
    mStartValue = value;
    mLastValue = value;
    mElapsed = 0;
    mOffset = value - now();
}

std::int64_t Timer::read() {
    const std::int64_t value = now() + mOffset;
    mElapsed = value - mLastValue;
    mLastValue = value;
    return value;
}

std::int64_t Timer::now() {
    mClock.now();
    return static_cast<std::int64_t>(mClock.getMicroseconds() / 1000);
}

}  // namespace nevrik::system
