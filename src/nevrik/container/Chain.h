#pragma once

#include "nevrik/container/Chainable.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <iterator>
#include <type_traits>

namespace nevrik::container {

/// An intrusive circular doubly-linked chain of T, which derives from
/// Chainable<T>.
///
/// When T is an object::Object the chain holds one reference on each element
/// while it is linked; plain records (no Object base) are only linked and stay
/// owned by whoever made them. An element is on at most one chain at a time.
/// Iteration fetches the next link before yielding an element, so the loop
/// body may remove (and release) the element it is given, but no other one.
/// Owned by value by its holder; not synchronised: owners that share a chain
/// between threads lock around it.
template <class T>
class Chain : public object::Object, private object::Noncopyable {
    using Link = Chainable<T>;

public:
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T*;
        using difference_type = std::ptrdiff_t;
        using pointer = T* const*;
        using reference = T*;

        T* operator*() const noexcept { return static_cast<T*>(mCurrent); }
        Iterator& operator++() noexcept {
            mCurrent = mNext;
            mNext = mCurrent->mNext;
            return *this;
        }
        friend bool operator==(const Iterator& a, const Iterator& b) noexcept {
            return a.mCurrent == b.mCurrent;
        }
        friend bool operator!=(const Iterator& a, const Iterator& b) noexcept {
            return a.mCurrent != b.mCurrent;
        }

    private:
        friend class Chain;
        explicit Iterator(Link* current) noexcept : mCurrent(current), mNext(current->mNext) {}

        Link* mCurrent;
        Link* mNext;
    };

    Chain() noexcept {
        mSentinel.mChain = this;
        mSentinel.mNext = &mSentinel;
        mSentinel.mPrevious = &mSentinel;
    }
    ~Chain() override {
        clear();
        // The sentinel must not try to unlink itself when it dies.
        mSentinel.mChain = nullptr;
    }

    /// Appends `element` and takes a reference on it. Returns false, changing
    /// nothing, when it is null or already on a chain (this one included).
    bool add(T* element) noexcept {
        if (element == nullptr) {
            return false;
        }
        Link* link = element;
        if (link->mChain != nullptr) {
            return false;
        }
        Link* tail = mSentinel.mPrevious;
        link->mChain = this;
        link->mNext = &mSentinel;
        link->mPrevious = tail;
        tail->mNext = link;
        mSentinel.mPrevious = link;
        ++mCount;
        if constexpr (kCounted) {
            element->addReference();
        }
        return true;
    }

    /// Unlinks `element` and drops the chain's reference, which may destroy
    /// it. Returns false, changing nothing, when it is not on this chain.
    bool remove(T* element) noexcept {
        if (element == nullptr || static_cast<Link*>(element)->mChain != this) {
            return false;
        }
        unlink(element);
        drop(element);
        return true;
    }

    /// Unlinks every element and drops the chain's references.
    void clear() noexcept {
        while (mSentinel.mNext != &mSentinel) {
            T* element = static_cast<T*>(mSentinel.mNext);
            unlink(element);
            drop(element);
        }
    }

    bool contains(const T* element) const noexcept {
        return element != nullptr && static_cast<const Link*>(element)->mChain == this;
    }

    /// The first and last elements, or null when empty.
    T* getFirst() const noexcept { return elementAt(mSentinel.mNext); }
    T* getLast() const noexcept { return elementAt(mSentinel.mPrevious); }
    /// The element after (before) `element` on this chain, or null at the end.
    T* getNext(const T* element) const noexcept {
        return contains(element) ? elementAt(static_cast<const Link*>(element)->mNext) : nullptr;
    }
    T* getPrevious(const T* element) const noexcept {
        return contains(element) ? elementAt(static_cast<const Link*>(element)->mPrevious) : nullptr;
    }

    Iterator begin() const noexcept { return Iterator(mSentinel.mNext); }
    Iterator end() const noexcept { return Iterator(const_cast<Sentinel*>(&mSentinel)); }

    NEVRIK_CLASS_NAME(object::Object, ":Chain")

    int getCount() const noexcept { return mCount; }
    bool isEmpty() const noexcept { return mCount == 0; }

private:
    friend class Chainable<T>;
    static constexpr bool kCounted = std::is_base_of_v<object::Object, T>;

    // The sentinel has no T around it; only real links are elements.
    T* elementAt(const Link* link) const noexcept {
        return link == &mSentinel ? nullptr : static_cast<T*>(const_cast<Link*>(link));
    }

    void unlink(Link* link) noexcept {
        link->mPrevious->mNext = link->mNext;
        link->mNext->mPrevious = link->mPrevious;
        link->mChain = nullptr;
        link->mNext = nullptr;
        link->mPrevious = nullptr;
        --mCount;
    }

    static void drop(T* element) noexcept {
        if constexpr (kCounted) {
            element->release();
        }
    }

    // Its chain pointer is the chain itself, so the sentinel is never taken
    // for an unlinked element.
    struct Sentinel : Link {};
    Sentinel mSentinel;
    int mCount = 0;
};

}  // namespace nevrik::container
