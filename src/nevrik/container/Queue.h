#pragma once

#include "nevrik/container/Queueable.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <type_traits>

namespace nevrik::container {

/// A first-in first-out queue of intrusively linked T, which derives from
/// Queueable<T>: head, tail and count, no memory of its own.
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
    Queue() noexcept = default;
    ~Queue() override { clear(); }

    /// Appends `item` at the tail (taking a reference on an Object). Returns
    /// false, changing nothing, when it is null or already queued.
    bool push(T* item) noexcept {
        if (item == nullptr) {
            return false;
        }
        Link* link = item;
        if (link->mQueue != nullptr) {
            return false;
        }
        link->mQueue = this;
        link->mNext = nullptr;
        link->mPrevious = mTail;
        if (mTail != nullptr) {
            mTail->mNext = link;
        } else {
            mHead = link;
        }
        mTail = link;
        ++mCount;
        if constexpr (kCounted) {
            item->addReference();
        }
        return true;
    }

    /// Unlinks and returns the head item, or null when empty. For an Object
    /// the queue's reference passes to the caller, who must release it.
    T* pop() noexcept {
        Link* link = mHead;
        if (link == nullptr) {
            return nullptr;
        }
        unlink(link);
        return static_cast<T*>(link);
    }

    /// Takes `item` out of the queue wherever it waits and drops the queue's
    /// reference, which may destroy it. Returns false, changing nothing, when
    /// it is not on this queue.
    bool remove(T* item) noexcept {
        if (item == nullptr || static_cast<Link*>(item)->mQueue != this) {
            return false;
        }
        unlink(item);
        if constexpr (kCounted) {
            item->release();
        }
        return true;
    }

    /// Unlinks every item, releasing the queue's references on Objects.
    void clear() noexcept {
        while (mHead != nullptr) {
            remove(static_cast<T*>(mHead));
        }
    }

    /// The head item without removing it, or null when empty.
    T* getFirst() const noexcept { return static_cast<T*>(mHead); }

    NEVRIK_CLASS_NAME(object::Object, ":Queue")

    int getCount() const noexcept { return mCount; }
    bool isEmpty() const noexcept { return mCount == 0; }

private:
    friend class Queueable<T>;
    static constexpr bool kCounted = std::is_base_of_v<object::Object, T>;

    void unlink(Link* link) noexcept {
        (link->mPrevious != nullptr ? link->mPrevious->mNext : mHead) = link->mNext;
        (link->mNext != nullptr ? link->mNext->mPrevious : mTail) = link->mPrevious;
        link->mQueue = nullptr;
        link->mNext = nullptr;
        link->mPrevious = nullptr;
        --mCount;
    }

    Link* mHead = nullptr;
    Link* mTail = nullptr;
    int mCount = 0;
};

}  // namespace nevrik::container
