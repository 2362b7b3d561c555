#include "nevrik/system/Ticker.h"

namespace nevrik::system {
namespace {

// Due time -1: 100 ns from now, relative, which is at once.
constexpr std::int64_t kNow = -1;

}  // namespace

bool Ticker::TickerThread::run() {
    for (;;) {
        mTicker->mTimer.wait();
        if (mTicker->leaveIfStopped()) {
            return true;
        }
        mTicker->tick();
    }
}

Ticker::Ticker() : mThread(this) {}

Ticker::~Ticker() {
    stop();
}

void Ticker::start() {
    Mutex::Guard guard(mLock);
    mRunning.store(true, std::memory_order_release);
    if (mLeaving) {
        // Stopped from tick() and on its way out: it would never tick again.
        mThread.join();
        mLeaving = false;
    }
    mThread.start(false);
    arm();
}

void Ticker::stop() {
    if (!mThread.isStarted()) {
        return;
    }
    {
        Mutex::Guard guard(mLock);
        mTimer.cancel();
        mRunning.store(false, std::memory_order_release);
        // One more expiry wakes the waiting thread, which then sees the flag down.
        mTimer.set(kNow, 1);
    }
    // Without the lock, which the thread takes to see the flag.
    if (mThread.join()) {
        Mutex::Guard guard(mLock);
        mLeaving = false;
    }
}

void Ticker::setPeriod(std::uint32_t milliseconds) {
    mPeriod.store(milliseconds, std::memory_order_relaxed);
    if (isRunning()) {
        arm();
    }
}

void Ticker::tick() {}

bool Ticker::leaveIfStopped() {
    // Decided under the lock that start() takes: a start() after this point
    // knows that the thread is leaving, and starts another.
    Mutex::Guard guard(mLock);
    if (isRunning()) {
        return false;
    }
    mTimer.cancel();
    mLeaving = true;
    return true;
}

void Ticker::arm() {
    mTimer.set(kNow, getPeriod());
}

}  // namespace nevrik::system
