#pragma once

#include "nevrik/container/detail/ForwardIterator.h"
#include "nevrik/container/detail/Link.h"

namespace nevrik::container::detail {

/// The circular doubly-linked list under Chain, Queue and List: a sentinel
/// link whose ring pointer is the ring itself, and a count. Links only;
/// whether elements are referenced or owned is the container's business.
template <class Owner>
class Ring {
public:
    using Element = Link<Owner>;

    /// Yields T* and fetches the next link before yielding, so a loop body may
    /// unlink (and destroy) the element it is given, but no other one.
    template <class T>
    class Iterator : public ForwardIterator<Iterator<T>, T*, T*> {
    public:
        explicit Iterator(Element* current) noexcept : mCurrent(current), mNext(current->mNext) {}

        T* operator*() const noexcept { return static_cast<T*>(mCurrent); }
        Iterator& operator++() noexcept {
            mCurrent = mNext;
            mNext = mCurrent->mNext;
            return *this;
        }
        const Element* position() const noexcept { return mCurrent; }

    private:
        Element* mCurrent;
        Element* mNext;
    };

    /// `owner` is what Link::getOwner() reports for linked elements.
    explicit Ring(Owner* owner) noexcept : mOwner(owner) {
        mSentinel.mRing = this;
        mSentinel.mNext = &mSentinel;
        mSentinel.mPrevious = &mSentinel;
    }
    Ring(const Ring&) = delete;
    Ring& operator=(const Ring&) = delete;
    ~Ring() {
        // Owners empty the ring first; the sentinel must not unlink itself.
        mSentinel.mRing = nullptr;
    }

    bool contains(const Element* link) const noexcept { return link != nullptr && link->mRing == this; }
    static bool isLinked(const Element* link) noexcept { return link->mRing != nullptr; }

    /// Links `link`, which must be on no ring, at the tail or the head.
    void append(Element* link) noexcept { linkAfter(mSentinel.mPrevious, link); }
    void prepend(Element* link) noexcept { linkAfter(&mSentinel, link); }

    /// Unlinks `link`, which must be on this ring, and clears its pointers.
    void unlink(Element* link) noexcept {
        link->mPrevious->mNext = link->mNext;
        link->mNext->mPrevious = link->mPrevious;
        link->mRing = nullptr;
        link->mNext = nullptr;
        link->mPrevious = nullptr;
        --mCount;
    }

    /// First, last, next and previous element; null past either end.
    Element* getFirst() const noexcept { return elementAt(mSentinel.mNext); }
    Element* getLast() const noexcept { return elementAt(mSentinel.mPrevious); }
    Element* getNext(const Element* link) const noexcept { return elementAt(link->mNext); }
    Element* getPrevious(const Element* link) const noexcept { return elementAt(link->mPrevious); }

    template <class T>
    Iterator<T> begin() const noexcept {
        return Iterator<T>(mSentinel.mNext);
    }
    template <class T>
    Iterator<T> end() const noexcept {
        return Iterator<T>(const_cast<Sentinel*>(&mSentinel));
    }

    Owner* getOwner() const noexcept { return mOwner; }
    int getCount() const noexcept { return mCount; }

private:
    void linkAfter(Element* previous, Element* link) noexcept {
        Element* next = previous->mNext;
        link->mRing = this;
        link->mNext = next;
        link->mPrevious = previous;
        previous->mNext = link;
        next->mPrevious = link;
        ++mCount;
    }

    // The sentinel has no element around it.
    Element* elementAt(Element* link) const noexcept { return link == &mSentinel ? nullptr : link; }

    struct Sentinel : Element {};
    Owner* mOwner;
    Sentinel mSentinel;
    int mCount = 0;
};

}  // namespace nevrik::container::detail
