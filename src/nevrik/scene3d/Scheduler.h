#pragma once

#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

namespace nevrik::scene3d {

/// An intrusive list of scheduled items of type T, which derives from
/// Scheduler<T>::Link: a sentinel link and a count.
///
/// The scheduler borrows its items: it holds no reference, so an item that
/// dies while scheduled takes itself off first. A dying scheduler takes every
/// item still on it off and clears its scheduled mark. Held by value by its
/// owner (a BehaviourScheduler); not synchronised: used on the rendering
/// thread.
template <class T>
class Scheduler : public object::Object, private object::Noncopyable {
public:
    /// The part of an item that puts it on one scheduler. A copy starts
    /// unscheduled; assignment keeps each side's place.
    class Link {
    public:
        /// Whether the item is on a scheduler (its scheduled mark).
        bool isScheduled() const noexcept { return mScheduler != nullptr; }
        /// The scheduler the item is on, or null.
        Scheduler* getScheduler() const noexcept { return mScheduler; }

    protected:
        Link() noexcept = default;
        Link(const Link&) noexcept {}
        Link& operator=(const Link&) noexcept { return *this; }
        ~Link() {
            if (mScheduler != nullptr) {
                mScheduler->unlink(*this);
            }
        }

    private:
        friend Scheduler;

        Scheduler* mScheduler = nullptr;
        Link* mNext = nullptr;
        Link* mPrevious = nullptr;
    };

    Scheduler() noexcept { mSentinel.mNext = mSentinel.mPrevious = &mSentinel; }
    ~Scheduler() override {
        while (mSentinel.mNext != &mSentinel) {
            unlink(*mSentinel.mNext);
        }
    }

    /// Appends `item`. Returns false, changing nothing, when it is null or
    /// already on a scheduler (this one included).
    bool add(T* item) noexcept {
        if (item == nullptr || static_cast<Link*>(item)->mScheduler != nullptr) {
            return false;
        }
        Link& link = *item;
        link.mScheduler = this;
        link.mPrevious = mSentinel.mPrevious;
        link.mNext = &mSentinel;
        mSentinel.mPrevious->mNext = &link;
        mSentinel.mPrevious = &link;
        ++mCount;
        return true;
    }

    /// Takes `item` off and clears its mark. Returns false, changing nothing,
    /// when it is not on this scheduler.
    bool remove(T* item) noexcept {
        if (item == nullptr || static_cast<Link*>(item)->mScheduler != this) {
            return false;
        }
        unlink(*item);
        return true;
    }

    /// The first item, or null when empty.
    T* getFirst() const noexcept { return itemAt(mSentinel.mNext); }
    /// The item after `item`; null at the end or when `item` is not on this
    /// scheduler.
    T* getNext(const T* item) const noexcept {
        return item != nullptr && static_cast<const Link*>(item)->mScheduler == this
                   ? itemAt(static_cast<const Link*>(item)->mNext)
                   : nullptr;
    }

    NEVRIK_CLASS_NAME(object::Object, ":Scheduler")

    int getCount() const noexcept { return mCount; }

private:
    T* itemAt(Link* link) const noexcept { return link == &mSentinel ? nullptr : static_cast<T*>(link); }

    void unlink(Link& link) noexcept {
        link.mPrevious->mNext = link.mNext;
        link.mNext->mPrevious = link.mPrevious;
        link.mNext = link.mPrevious = nullptr;
        link.mScheduler = nullptr;
        --mCount;
    }

    Link mSentinel;
    int mCount = 0;
};

}  // namespace nevrik::scene3d
