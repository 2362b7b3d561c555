#include "nevrik/system/Ticker.h"

namespace nevrik::system {
namespace {

// Due time -1: 100 ns from now, relative, which is at once.
constexpr std::int64_t kNow = -1;

}  // namespace

bool Ticker::TickerThread::run() {
    for (;;) {
        mTicker->mTimer.wait();
        if (!mTicker->isRunning()) {
            break;
        }
        mTicker->tick();
    }
    mTicker->mTimer.cancel();
    return true;
}

Ticker::Ticker() : mThread(this) {}

Ticker::~Ticker() {
    stop();
}

void Ticker::start() {
    mRunning.store(true, std::memory_order_release);
    mThread.start(false);
    arm();
}

void Ticker::stop() {
    if (!mThread.isStarted()) {
        return;
    }
    mTimer.cancel();
    mRunning.store(false, std::memory_order_release);
    // One more expiry wakes the waiting thread, which then sees the flag down.
    mTimer.set(kNow, 1);
    mThread.join();
}

void Ticker::setPeriod(std::uint32_t milliseconds) {
    mPeriod.store(milliseconds, std::memory_order_relaxed);
    if (isRunning()) {
        arm();
    }
}

void Ticker::tick() {}

void Ticker::arm() {
    mTimer.set(kNow, getPeriod());
}

}  // namespace nevrik::system
