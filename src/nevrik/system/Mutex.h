#pragma once

#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/platform/RecursiveMutex.h"
#include "nevrik/types/String.h"

namespace nevrik::system {

/// A lock that the thread holding it may take again (each lock() needs its unlock()).
///
/// Held by value by whatever it guards; any thread may use it.
class Mutex : public object::Object, private object::Noncopyable {
public:
    /// Holds a Mutex for one scope.
    class Guard : private object::Noncopyable {
    public:
        explicit Guard(Mutex& mutex) : mMutex(mutex) { mMutex.lock(); }
        ~Guard() { mMutex.unlock(); }

    private:
        Mutex& mMutex;
    };

    Mutex() = default;

    /// Waits until the lock is free or already the caller's; always true.
    bool lock();
    /// Only by the holder; always true.
    bool unlock();

    NEVRIK_CLASS_NAME(object::Object, ":Mutex")

private:
    platform::RecursiveMutex mMutex;
};

}  // namespace nevrik::system
