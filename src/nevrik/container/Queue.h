#pragma once

#include "nevrik/container/Queueable.h"
#include "nevrik/container/detail/Ring.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <type_traits>

namespace nevrik::container {

/// A first-in first-out queue of intrusively linked T, which derives from
/// Queueable<T>; it allocates no memory of its own.
///
/// When T is an object::Object the queue holds one reference on each queued
/// item and pop() hands that reference to the caller; plain records (pooled
/// messages) are only linked and stay owned by their pool. An item waits on
/// at most one queue at a time. Owned by value by its holder; not
/// synchronised: a queue shared between threads is locked by its owner.
template <class T>
class Queue : public object::Object, private object::Noncopyable {
    using Link = Queueable<T>;

public:
    Queue() noexcept : mRing(this) {}
    ~Queue() override { clear(); }

    /// Appends `item` at the tail (taking a reference on an Object). Returns
    /// false, changing nothing, when it is null or already queued.
    bool push(T* item) noexcept {
        if (item == nullptr || mRing.isLinked(static_cast<Link*>(item))) {
            return false;
        }
        mRing.append(static_cast<Link*>(item));
        if constexpr (kCounted) {
            item->addReference();
        }
        return true;
    }

    /// Unlinks and returns the head item, or null when empty. For an Object
    /// the queue's reference passes to the caller, who must release it.
    T* pop() noexcept {
        T* item = getFirst();
        if (item != nullptr) {
            mRing.unlink(static_cast<Link*>(item));
        }
        return item;
    }

    /// Takes `item` out of the queue wherever it waits and drops the queue's
    /// reference, which may destroy it. Returns false, changing nothing, when
    /// it is not on this queue.
    bool remove(T* item) noexcept {
        if (item == nullptr || !mRing.contains(static_cast<Link*>(item))) {
            return false;
        }
        mRing.unlink(static_cast<Link*>(item));
        if constexpr (kCounted) {
            item->release();
        }
        return true;
    }

    /// Unlinks every item, releasing the queue's references on Objects.
    void clear() noexcept {
        while (T* item = getFirst()) {
            remove(item);
        }
    }

    /// The head item without removing it, or null when empty.
    T* getFirst() const noexcept { return static_cast<T*>(mRing.getFirst()); }

    NEVRIK_CLASS_NAME(object::Object, ":Queue")

    int getCount() const noexcept { return mRing.getCount(); }
    bool isEmpty() const noexcept { return mRing.getCount() == 0; }

private:
    static constexpr bool kCounted = std::is_base_of_v<object::Object, T>;

    detail::Ring<Queue> mRing;
};

}  // namespace nevrik::container
