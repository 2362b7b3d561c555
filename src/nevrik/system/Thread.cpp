#include "nevrik/system/Thread.h"

#include "nevrik/container/Chain.h"
#include "nevrik/object/Exception.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/platform/ThreadId.h"
#include "nevrik/platform/ThreadQueue.h"
#include "nevrik/system/Mutex.h"

#include <cstdio>
#include <cstdlib>

namespace nevrik::system {
namespace {

// Every started or adopted thread, holding one reference on each.
struct Registry {
    Mutex mutex;
    container::Chain<Thread> threads;
};

Registry& registry() {
    // Made on first use, so that other static initialisers may use threads;
    // never destroyed, since threads may still leave it while statics die.
    static auto* sRegistry = new Registry();
    return *sRegistry;
}

thread_local Thread* tCurrent = nullptr;

// The main thread has its object before main() runs.
[[maybe_unused]] Thread* const sMainThread = Thread::current();

}  // namespace

Thread* Thread::current() {
    if (tCurrent != nullptr) {
        return tCurrent;
    }
    const std::uint32_t id = platform::ThreadId::current();
    Registry& all = registry();
    Mutex::Guard guard(all.mutex);
    for (Thread* thread : all.threads) {
        if (thread->mThreadId == id) {
            tCurrent = thread;
            return thread;
        }
    }
    // The registry's reference is the one that keeps it: the made one goes
    // when `adopted` does.
    const object::Pointer<Thread> adopted = object::make<Thread>();
    adopted->mThreadId = id;
    all.threads.add(adopted.get());
    tCurrent = adopted.get();
    return tCurrent;
}

bool Thread::start(bool wait) {
    {
        Registry& all = registry();
        Mutex::Guard guard(all.mutex);
        if (mThreadId != 0) {
            // Started already, or adopted: an adopted thread has a system
            // thread of its own and cannot be given another.
            return mHandle.isValid();
        }
        mRunning.reset();
        mStarted.reset();
        mThreadId = platform::ThreadHandle::nextId();
        all.threads.add(this);
        // The running thread's own reference, dropped by entry() at the end.
        addReference();
        mHandle = platform::ThreadHandle::start(&Thread::entry, this, mThreadId);
        if (!mHandle.isValid()) {
            mThreadId = 0;
            all.threads.remove(this);
            release();
            return false;
        }
    }
    if (wait) {
        mStarted.wait();
    }
    return true;
}

bool Thread::join() {
    if (tCurrent == this) {
        return false;
    }
    platform::ThreadHandle handle;
    bool started = false;
    {
        Registry& all = registry();
        Mutex::Guard guard(all.mutex);
        handle = mHandle;
        started = mThreadId != 0 && mHandle.isValid();
    }
    // A thread that has just ended may still be dropping its references:
    // wait for that too, so that a refused join still leaves it finished.
    handle.join();
    return started;
}

bool Thread::run() {
    if (mRoutine != nullptr) {
        return mRoutine(this);
    }
    if (mRoutine2 != nullptr) {
        return mRoutine2(mArgument);
    }
    return true;
}

bool Thread::isStarted() const {
    Mutex::Guard guard(registry().mutex);
    return mThreadId != 0 && mHandle.isValid();
}

std::uint32_t Thread::getThreadId() const {
    Mutex::Guard guard(registry().mutex);
    return mThreadId;
}

void Thread::entry(void* argument) {
    auto* thread = static_cast<Thread*>(argument);
    // The queue exists before anyone can learn that the thread runs.
    platform::ThreadQueue::current();
    tCurrent = thread;
    thread->mRunning.set();
    thread->mStarted.set();
    try {
        thread->run();
    } catch (const object::Exception& exception) {
        std::fputs(exception.getMessage().c_str(), stdout);
        std::fflush(stdout);
        std::exit(-1);
    } catch (...) {
        std::exit(-1);
    }
    thread->mRunning.reset();
    thread->retire();
    tCurrent = nullptr;
    thread->release();
}

void Thread::retire() {
    Registry& all = registry();
    Mutex::Guard guard(all.mutex);
    // The handle stays until the next start(), for joins that come late.
    all.threads.remove(this);
    mThreadId = 0;
}

}  // namespace nevrik::system
