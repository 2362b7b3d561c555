#pragma once

#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/platform/WaitableTimer.h"
#include "nevrik/system/Mutex.h"
#include "nevrik/system/Thread.h"
#include "nevrik/types/String.h"

#include <atomic>
#include <cstdint>

namespace nevrik::system {

/// Calls tick() periodically from a thread of its own, paced by a waitable
/// timer: the first tick follows start() at once, then one per period.
///
/// Held by value or by reference count; its thread is part of it, so it is
/// stopped (and its thread joined) before it dies. start(), stop() and
/// setPeriod() come from one controlling thread; tick() runs on the ticker's
/// thread and must only touch what is safe from there. tick() may stop the
/// ticker; a start() from the controller after that always ticks again, even
/// while the stopped thread is still on its way out. A subclass that
/// overrides tick() stops the ticker in its own destructor, before its part
/// of the object is gone.
class Ticker : public object::Object, private object::Noncopyable {
public:
    /// The thread that waits on the timer and calls tick().
    class TickerThread : public Thread {
    public:
        explicit TickerThread(Ticker* ticker) noexcept : mTicker(ticker) {}

        bool run() override;
        NEVRIK_CLASS_NAME(Thread, ":TickerThread")

    private:
        Ticker* mTicker;
    };

    static constexpr std::uint32_t kDefaultPeriod = 1000;

    Ticker();
    ~Ticker() override;

    /// Starts ticking (the thread too, unless it runs already; one that tick()
    /// stopped and that is ending is first waited for).
    void start();
    /// Stops ticking and returns once the ticker's thread has ended, however
    /// long the period. Does nothing when the thread is not started; from
    /// tick() itself it only ends the ticking, without waiting.
    void stop();
    /// Milliseconds between ticks; a running ticker re-arms at once, so its
    /// next tick comes now. With 0 it ticks once and then waits for the next
    /// start() or setPeriod().
    void setPeriod(std::uint32_t milliseconds);

    /// Called on the ticker's thread once per period; does nothing by default.
    virtual void tick();

    NEVRIK_CLASS_NAME(object::Object, ":Ticker")

    std::uint32_t getPeriod() const noexcept { return mPeriod.load(std::memory_order_relaxed); }
    bool isRunning() const noexcept { return mRunning.load(std::memory_order_acquire); }
    const TickerThread& getThread() const noexcept { return mThread; }

private:
    // On the ticker's thread: true, the timer disarmed, when it is to end.
    bool leaveIfStopped();
    void arm();

    TickerThread mThread;
    std::atomic<std::uint32_t> mPeriod{kDefaultPeriod};
    std::atomic<bool> mRunning{false};
    platform::WaitableTimer mTimer;
    // Orders the thread's decision to end against start().
    Mutex mLock;
    // The thread has decided to end and will not wait on the timer again.
    bool mLeaving = false;
};

}  // namespace nevrik::system
