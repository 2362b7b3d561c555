#pragma once

#include "nevrik/container/Chainable.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/platform/Event.h"
#include "nevrik/platform/ThreadHandle.h"
#include "nevrik/system/Signal.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::system {

/// An engine thread: runs run() on a thread of its own, and is listed in the
/// process-wide registry while started, together with every thread that
/// Thread::current() adopted.
///
/// Reference-counted: the creator holds one reference, the registry another
/// while the thread is registered, and the running thread one more until its
/// body has returned, so the object outlives its thread however early the
/// creator lets go. A thread held by value (a ticker's) must be joined before
/// its owner dies. start() and join() may be called from any thread; the
/// main thread is adopted before main() runs.
class Thread : public object::Object, public container::Chainable<Thread>, private object::Noncopyable {
public:
    using Routine = bool (*)(Thread* thread);
    using Routine2 = bool (*)(std::uintptr_t argument);

    /// A thread whose body calls `routine` (if not null) with itself.
    explicit Thread(Routine routine = nullptr) noexcept : mRoutine(routine) {}
    /// A thread whose body calls routine2(argument).
    Thread(Routine2 routine2, std::uintptr_t argument) noexcept : mRoutine2(routine2), mArgument(argument) {}

    /// The calling thread's object. A thread that no engine code started is
    /// adopted on its first call: it gets a registered object that stays in
    /// the registry until the process ends.
    static Thread* current();

    /// Starts the thread; with `wait`, returns only once run() is about to be
    /// called and the new thread has its message queue. A started thread is
    /// left alone (true, no second thread). Returns false, changing nothing,
    /// for an adopted thread and when the system refuses a new thread.
    bool start(bool wait);
    /// Waits until a started thread has ended; true. Refuses (false) when
    /// called by the thread itself, at once, and when the thread is not
    /// started (never started, already ended, or adopted); a thread that had
    /// just ended is first waited for until it has let go of itself.
    bool join();

    /// The thread body. By default calls the routine given at construction
    /// and returns its result; true without one.
    virtual bool run();

    NEVRIK_CLASS_NAME(object::Object, ":Thread")

    /// Up while the body runs.
    bool isRunning() const noexcept { return mRunning.isSet(); }
    /// Started and not yet ended; false for an adopted thread.
    bool isStarted() const;
    /// The platform thread id; 0 when not started.
    std::uint32_t getThreadId() const;

private:
    static void entry(void* argument);
    // Removes the thread from the registry and forgets its system thread.
    void retire();

    Signal mRunning;
    platform::ThreadHandle mHandle;
    std::uint32_t mThreadId = 0;
    Routine mRoutine = nullptr;
    Routine2 mRoutine2 = nullptr;
    // Pointer-sized, so that a routine can be handed a pointer.
    std::uintptr_t mArgument = 0;
    // Set by the new thread once it runs; reset only by start(), so that
    // start(true) cannot miss a body that ends before it starts waiting.
    platform::Event mStarted;
};

}  // namespace nevrik::system
