#pragma once

#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <new>
#include <utility>

namespace nevrik::container {

/// Last-in first-out storage of T values, grown N slots at a time.
///
/// Values live in chunks of N that never move, so a reference to an element
/// stays valid until that element is popped. One emptied chunk is kept
/// spare, so pushing and popping across a chunk boundary does not churn the
/// heap. Owned by value; not synchronised.
template <class T, int N = 16>
class Stack : public object::Object, private object::Noncopyable {
    static_assert(N > 0, "a stack chunk needs at least one slot");

public:
    Stack() noexcept = default;
    ~Stack() override {
        clear();
        delete mSpare;
    }

    /// Pushes a copy of `value`, which may be an element of this stack, and
    /// returns the new top.
    template <class U>
    T& push(U&& value) {
        if (mTop != nullptr && mUsed < N) {
            T* element = new (slot(mTop, mUsed)) T(std::forward<U>(value));
            ++mUsed;
            ++mCount;
            return *element;
        }
        Chunk* chunk = mSpare != nullptr ? std::exchange(mSpare, nullptr) : new Chunk;
        T* element;
        try {
            element = new (slot(chunk, 0)) T(std::forward<U>(value));
        } catch (...) {
            mSpare = chunk;
            throw;
        }
        chunk->below = mTop;
        mTop = chunk;
        mUsed = 1;
        ++mCount;
        return *element;
    }

    /// Destroys the top element. Returns false when the stack is empty.
    bool pop() noexcept {
        if (mCount == 0) {
            return false;
        }
        --mUsed;
        --mCount;
        std::launder(slot(mTop, mUsed))->~T();
        if (mUsed == 0) {
            Chunk* empty = mTop;
            mTop = empty->below;
            mUsed = mTop != nullptr ? N : 0;
            delete mSpare;
            mSpare = empty;
        }
        return true;
    }

    void clear() noexcept {
        while (pop()) {
        }
    }

    /// The top element, or null when empty.
    T* getTop() noexcept { return mCount != 0 ? std::launder(slot(mTop, mUsed - 1)) : nullptr; }
    const T* getTop() const noexcept { return mCount != 0 ? std::launder(slot(mTop, mUsed - 1)) : nullptr; }

    NEVRIK_CLASS_NAME(object::Object, ":Stack")

    int getCount() const noexcept { return mCount; }
    bool isEmpty() const noexcept { return mCount == 0; }

private:
    struct Slot {
        alignas(T) unsigned char bytes[sizeof(T)];
    };
    struct Chunk {
        Chunk* below;
        Slot slots[N];
    };

    static T* slot(Chunk* chunk, int index) noexcept {
        return reinterpret_cast<T*>(chunk->slots[index].bytes);
    }

    Chunk* mTop = nullptr;
    Chunk* mSpare = nullptr;
    int mUsed = 0;  // Elements in the top chunk.
    int mCount = 0;
};

}  // namespace nevrik::container
