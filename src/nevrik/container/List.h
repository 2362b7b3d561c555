#pragma once

#include "nevrik/container/ListAllocator.h"
#include "nevrik/container/ListItem.h"
#include "nevrik/container/detail/ForwardIterator.h"
#include "nevrik/container/detail/Ring.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <utility>

namespace nevrik::container {

/// A circular doubly-linked list of T values with a sentinel inside the list
/// object; items come from the list's own A (a ListAllocator<T, N>), so
/// after warm-up adding an element makes no heap call.
///
/// Iteration yields T& and fetches the next item before yielding, so a loop
/// may remove the item it stands on (Iterator::getItem()), but no other one.
/// Copies are deep. Owned by value; not synchronised.
template <class T, class A = ListAllocator<T, 64>>
class List : public object::Object {
    using Ring = detail::Ring<ListItem<T>>;

public:
    using Item = ListItem<T>;

    template <class V, class I>
    class BasicIterator : public detail::ForwardIterator<BasicIterator<V, I>, T, V&> {
    public:
        explicit BasicIterator(typename Ring::template Iterator<I> position) noexcept : mPosition(position) {}

        V& operator*() const noexcept { return (*mPosition)->getValue(); }
        V* operator->() const noexcept { return &(*mPosition)->getValue(); }
        I* getItem() const noexcept { return *mPosition; }
        BasicIterator& operator++() noexcept {
            ++mPosition;
            return *this;
        }
        const I* position() const noexcept { return *mPosition; }

    private:
        typename Ring::template Iterator<I> mPosition;
    };
    using Iterator = BasicIterator<T, Item>;
    using ConstIterator = BasicIterator<const T, const Item>;

    List() noexcept : mRing(nullptr) {}
    List(const List& other) : Object(other), mRing(nullptr) {
        try {
            for (const T& value : other) {
                append(value);
            }
        } catch (...) {
            clear();
            throw;
        }
    }
    List& operator=(const List&) = delete;
    ~List() override { clear(); }

    /// Adds `value` at the tail (head); it may be an element of this list.
    template <class U>
    Item* append(U&& value) {
        Item* item = mAllocator.create(std::forward<U>(value));
        mRing.append(item);
        return item;
    }
    template <class U>
    Item* prepend(U&& value) {
        Item* item = mAllocator.create(std::forward<U>(value));
        mRing.prepend(item);
        return item;
    }

    /// Destroys `item` and returns its slot to the allocator. Returns false,
    /// changing nothing, when the item is not on this list.
    bool remove(Item* item) noexcept {
        if (!mRing.contains(item)) {
            return false;
        }
        mRing.unlink(item);
        mAllocator.destroy(item);
        return true;
    }

    /// Destroys every item; their slots stay in the allocator.
    void clear() noexcept {
        while (Item* item = getFirst()) {
            remove(item);
        }
    }

    /// First and last item, or null when empty.
    Item* getFirst() const noexcept { return static_cast<Item*>(mRing.getFirst()); }
    Item* getLast() const noexcept { return static_cast<Item*>(mRing.getLast()); }

    Iterator begin() noexcept { return Iterator(mRing.template begin<Item>()); }
    Iterator end() noexcept { return Iterator(mRing.template end<Item>()); }
    ConstIterator begin() const noexcept { return ConstIterator(mRing.template begin<const Item>()); }
    ConstIterator end() const noexcept { return ConstIterator(mRing.template end<const Item>()); }

    NEVRIK_CLASS_NAME(object::Object, ":List")

    int getCount() const noexcept { return mRing.getCount(); }
    bool isEmpty() const noexcept { return mRing.getCount() == 0; }
    const A& getAllocator() const noexcept { return mAllocator; }

private:
    // Declared first: it must outlive the items that the ring links.
    A mAllocator;
    Ring mRing;
};

}  // namespace nevrik::container
