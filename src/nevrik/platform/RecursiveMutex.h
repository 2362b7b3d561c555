#pragma once

#include <mutex>

namespace nevrik::platform {

/// A mutex that the thread holding it may lock again; each lock needs its unlock.
///
/// Held by value by its owner; any thread may use it.
class RecursiveMutex {
public:
    RecursiveMutex() = default;
    RecursiveMutex(const RecursiveMutex&) = delete;
    RecursiveMutex& operator=(const RecursiveMutex&) = delete;

    void lock() { mMutex.lock(); }
    /// Only by the thread that holds the lock.
    void unlock() { mMutex.unlock(); }
    /// Returns false, without waiting, when another thread holds the lock.
    bool tryLock() { return mMutex.try_lock(); }

private:
    std::recursive_mutex mMutex;
};

}  // namespace nevrik::platform
