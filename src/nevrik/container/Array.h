#pragma once

#include "nevrik/object/Exception.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace nevrik::container {

/// A growable contiguous array of T, which may be any movable or copyable
/// C++ type (values, Strings, object::Pointer<T>).
///
/// Elements are real objects: constructed when the count grows, destroyed
/// when it shrinks or the array dies. Growth follows a fixed rule (see
/// resize()) so that repeated additions stay amortised; shrinking never gives
/// memory back. Copies are deep. Owned by value by its holder; not
/// synchronised.
template <class T>
class Array : public object::Object {
public:
    static constexpr int kMaxGrowStep = std::numeric_limits<std::int32_t>::max();

    Array() noexcept = default;
    /// `count` default-constructed elements in a buffer of exactly that size.
    explicit Array(int count) { resize(count); }
    Array(const Array& other) : Object(other), mMaxGrowStep(other.mMaxGrowStep) {
        if (other.mCount > 0) {
            mData = allocateBuffer(other.mCount);
            try {
                std::uninitialized_copy(other.begin(), other.end(), mData);
            } catch (...) {
                freeBuffer(mData, other.mCount);
                mData = nullptr;
                throw;
            }
            mCapacity = other.mCount;
            mCount = other.mCount;
        }
    }
    Array(Array&& other) noexcept
        : Object(other),
          mCount(std::exchange(other.mCount, 0)),
          mCapacity(std::exchange(other.mCapacity, 0)),
          mMaxGrowStep(other.mMaxGrowStep),
          mData(std::exchange(other.mData, nullptr)) {}
    ~Array() override { release(); }

    Array& operator=(const Array& other) {
        if (this != &other) {
            Array copy(other);
            swap(copy);
        }
        return *this;
    }
    Array& operator=(Array&& other) noexcept {
        if (this != &other) {
            release();
            mCount = std::exchange(other.mCount, 0);
            mCapacity = std::exchange(other.mCapacity, 0);
            mMaxGrowStep = other.mMaxGrowStep;
            mData = std::exchange(other.mData, nullptr);
        }
        return *this;
    }

    void swap(Array& other) noexcept {
        std::swap(mCount, other.mCount);
        std::swap(mCapacity, other.mCapacity);
        std::swap(mMaxGrowStep, other.mMaxGrowStep);
        std::swap(mData, other.mData);
    }

    /// Sets the count to `n`: new elements are default-constructed, dropped
    /// ones destroyed. With no buffer yet exactly `n` slots are allocated;
    /// beyond the capacity the buffer grows by 4 while the count is 3 or less,
    /// else by the count (at most the maximum grow step), and at least to `n`.
    /// Resizing to 0 keeps the buffer. Throws object::Exception if n < 0.
    void resize(int n) {
        if (n < 0) {
            throw object::Exception("Array::resize: negative count");
        }
        if (n < mCount) {
            destroyRange(mData + n, mData + mCount);
            mCount = n;
            return;
        }
        if (n > mCapacity) {
            relocate(grownCapacity(n));
        }
        for (; mCount < n; ++mCount) {
            new (mData + mCount) T();
        }
    }

    /// Destroys every element; the buffer stays for reuse.
    void clear() noexcept {
        destroyRange(mData, mData + mCount);
        mCount = 0;
    }

    /// Appends `value`, which may be an element of this array.
    T& add(const T& value) { return emplaceAt(mCount, value); }
    T& add(T&& value) { return emplaceAt(mCount, std::move(value)); }

    /// Appends every element of `other`, which may be this array.
    void append(const Array& other) {
        const int count = other.mCount;
        if (mCount + std::int64_t{count} > kMaxGrowStep) {
            throw object::Exception("Array::append: too many elements");
        }
        if (mCount + count > mCapacity) {
            relocate(grownCapacity(mCount + count));
        }
        // Reads other.mData only after the growth: when other is this array
        // its first `count` elements have moved, and the copies go after them.
        for (int i = 0; i < count; ++i) {
            new (mData + mCount) T(other.mData[i]);
            ++mCount;
        }
    }

    /// Inserts `value` before position `index` (0 <= index <= count); `value`
    /// may be an element of this array. Returns false, changing nothing, for an
    /// index out of range.
    bool insert(int index, const T& value) { return insertAt(index, value); }
    bool insert(int index, T&& value) { return insertAt(index, std::move(value)); }

    /// Removes the element at `index`, closing the gap. Returns false, changing
    /// nothing, for an index out of range.
    bool remove(int index) {
        if (index < 0 || index >= mCount) {
            return false;
        }
        std::move(mData + index + 1, mData + mCount, mData + index);
        --mCount;
        mData[mCount].~T();
        return true;
    }

    /// Throws object::Exception for an index out of range.
    T& operator[](int index) { return mData[checkedIndex(index)]; }
    const T& operator[](int index) const { return mData[checkedIndex(index)]; }

    NEVRIK_CLASS_NAME(object::Object, ":Array")

    int getCount() const noexcept { return mCount; }
    int getCapacity() const noexcept { return mCapacity; }
    bool isEmpty() const noexcept { return mCount == 0; }
    int getMaxGrowStep() const noexcept { return mMaxGrowStep; }
    /// Limits how many slots one growth adds; values below 1 are refused.
    bool setMaxGrowStep(int step) noexcept {
        if (step < 1) {
            return false;
        }
        mMaxGrowStep = step;
        return true;
    }

    T* getData() noexcept { return mData; }
    const T* getData() const noexcept { return mData; }
    T* begin() noexcept { return mData; }
    T* end() noexcept { return mData + mCount; }
    const T* begin() const noexcept { return mData; }
    const T* end() const noexcept { return mData + mCount; }

private:
    static T* allocateBuffer(int capacity) { return std::allocator<T>().allocate(capacity); }
    static void freeBuffer(T* data, int capacity) noexcept {
        if (data != nullptr) {
            std::allocator<T>().deallocate(data, capacity);
        }
    }
    static void destroyRange(T* first, T* last) noexcept {
        for (; first != last; ++first) {
            first->~T();
        }
    }

    int checkedIndex(int index) const {
        if (index < 0 || index >= mCount) {
            throw object::Exception("Array: index out of range");
        }
        return index;
    }

    int grownCapacity(int n) const noexcept {
        if (mData == nullptr) {
            return n;
        }
        std::int64_t step = mCount <= 3 ? 4 : mCount;
        if (step > mMaxGrowStep) {
            step = mMaxGrowStep;
        }
        std::int64_t capacity = mCapacity + step;
        if (capacity > kMaxGrowStep) {
            capacity = kMaxGrowStep;
        }
        return capacity < n ? n : static_cast<int>(capacity);
    }

    // Moves the elements into a new buffer of `capacity` slots (copies them
    // when moving could throw, so a failure leaves the array as it was).
    void relocate(int capacity) {
        T* data = allocateBuffer(capacity);
        int moved = 0;
        try {
            for (; moved < mCount; ++moved) {
                new (data + moved) T(std::move_if_noexcept(mData[moved]));
            }
        } catch (...) {
            destroyRange(data, data + moved);
            freeBuffer(data, capacity);
            throw;
        }
        destroyRange(mData, mData + mCount);
        freeBuffer(mData, mCapacity);
        mData = data;
        mCapacity = capacity;
    }

    // Builds the new element before anything moves: `value` may live in this
    // array, and both a reallocation and the shift would invalidate it.
    template <class U>
    T& emplaceAt(int index, U&& value) {
        if (mCount == kMaxGrowStep) {
            throw object::Exception("Array::add: too many elements");
        }
        T element(std::forward<U>(value));
        if (mCount == mCapacity) {
            relocate(grownCapacity(mCount + 1));
        }
        if (index == mCount) {
            new (mData + mCount) T(std::move(element));
        } else {
            new (mData + mCount) T(std::move(mData[mCount - 1]));
            for (int i = mCount - 1; i > index; --i) {
                mData[i] = std::move(mData[i - 1]);
            }
            mData[index] = std::move(element);
        }
        ++mCount;
        return mData[index];
    }

    template <class U>
    bool insertAt(int index, U&& value) {
        if (index < 0 || index > mCount) {
            return false;
        }
        emplaceAt(index, std::forward<U>(value));
        return true;
    }

    void release() noexcept {
        destroyRange(mData, mData + mCount);
        freeBuffer(mData, mCapacity);
        mData = nullptr;
        mCount = 0;
        mCapacity = 0;
    }

    int mCount = 0;
    int mCapacity = 0;
    int mMaxGrowStep = kMaxGrowStep;
    T* mData = nullptr;
};

}  // namespace nevrik::container
