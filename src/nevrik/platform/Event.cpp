#include "nevrik/platform/Event.h"

namespace nevrik::platform {

void Event::set() {
    release(true);
}

void Event::reset() {
    std::lock_guard<std::mutex> guard(mMutex);
    mSignalled = false;
}

void Event::pulse() {
    release(false);
}

void Event::wait() {
    std::unique_lock<std::mutex> guard(mMutex);
    waitLocked(guard);
}

void Event::consume() {
    std::unique_lock<std::mutex> guard(mMutex);
    waitLocked(guard);
    mSignalled = false;
}

void Event::waitLocked(std::unique_lock<std::mutex>& guard) {
    const std::uint64_t generation = mGeneration;
    mChanged.wait(guard, [&] { return mSignalled || mGeneration != generation; });
}

void Event::release(bool stayingSignalled) {
    // Notified under the lock: a released waiter may destroy the event (a
    // completion signal on its stack) as soon as it can take the lock.
    std::lock_guard<std::mutex> guard(mMutex);
    mSignalled = stayingSignalled;
    ++mGeneration;
    mChanged.notify_all();
}

bool Event::isSet() const {
    std::lock_guard<std::mutex> guard(mMutex);
    return mSignalled;
}

}  // namespace nevrik::platform
