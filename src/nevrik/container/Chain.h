#pragma once

#include "nevrik/container/Chainable.h"
#include "nevrik/container/detail/Ring.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

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
    using Iterator = typename detail::Ring<Chain>::template Iterator<T>;

    Chain() noexcept : mRing(this) {}
    ~Chain() override { clear(); }

    /// Appends `element` and takes a reference on it. Returns false, changing
    /// nothing, when it is null or already on a chain (this one included).
    bool add(T* element) noexcept {
        if (element == nullptr || mRing.isLinked(static_cast<Link*>(element))) {
            return false;
        }
        mRing.append(static_cast<Link*>(element));
        if constexpr (kCounted) {
            element->addReference();
        }
        return true;
    }

    /// Unlinks `element` and drops the chain's reference, which may destroy
    /// it. Returns false, changing nothing, when it is not on this chain.
    bool remove(T* element) noexcept {
        if (!contains(element)) {
            return false;
        }
        mRing.unlink(static_cast<Link*>(element));
        if constexpr (kCounted) {
            element->release();
        }
        return true;
    }

    /// Unlinks every element and drops the chain's references.
    void clear() noexcept {
        while (T* element = getFirst()) {
            remove(element);
        }
    }

    bool contains(const T* element) const noexcept {
        return element != nullptr && mRing.contains(static_cast<const Link*>(element));
    }

    /// The first and last elements, or null when empty.
    T* getFirst() const noexcept { return cast(mRing.getFirst()); }
    T* getLast() const noexcept { return cast(mRing.getLast()); }
    /// The element after (before) `element` on this chain; null at the end or
    /// when `element` is not on this chain.
    T* getNext(const T* element) const noexcept {
        return contains(element) ? cast(mRing.getNext(element)) : nullptr;
    }
    T* getPrevious(const T* element) const noexcept {
        return contains(element) ? cast(mRing.getPrevious(element)) : nullptr;
    }

    Iterator begin() const noexcept { return mRing.template begin<T>(); }
    Iterator end() const noexcept { return mRing.template end<T>(); }

    NEVRIK_CLASS_NAME(object::Object, ":Chain")

    int getCount() const noexcept { return mRing.getCount(); }
    bool isEmpty() const noexcept { return mRing.getCount() == 0; }

private:
    static constexpr bool kCounted = std::is_base_of_v<object::Object, T>;

    static T* cast(detail::Link<Chain>* link) noexcept { return static_cast<T*>(link); }

    detail::Ring<Chain> mRing;
};

}  // namespace nevrik::container
