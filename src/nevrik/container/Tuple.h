#pragma once

#include "nevrik/container/detail/Compare.h"
#include "nevrik/object/Exception.h"

namespace nevrik::container {

/// A fixed row of N values (for example the 16 vertex-buffer slots of a mesh),
/// ordered element by element so that it can key a Map or Set. A plain value:
/// value-initialised (pointers null, numbers zero), copied freely.
template <class T, int N>
class Tuple {
    static_assert(N > 0, "a tuple holds at least one value");

public:
    static constexpr int kSize = N;

    /// Throws object::Exception for an index out of range.
    T& operator[](int index) { return mValues[checkedIndex(index)]; }
    const T& operator[](int index) const { return mValues[checkedIndex(index)]; }

    /// Lexicographic three-way order, each element ordered as a map key.
    int compare(const Tuple& other) const {
        for (int i = 0; i < N; ++i) {
            if (const int order = detail::compare(mValues[i], other.mValues[i])) {
                return order;
            }
        }
        return 0;
    }
    friend bool operator==(const Tuple& a, const Tuple& b) { return a.compare(b) == 0; }
    friend bool operator!=(const Tuple& a, const Tuple& b) { return a.compare(b) != 0; }
    friend bool operator<(const Tuple& a, const Tuple& b) { return a.compare(b) < 0; }

    T* begin() noexcept { return mValues; }
    T* end() noexcept { return mValues + N; }
    const T* begin() const noexcept { return mValues; }
    const T* end() const noexcept { return mValues + N; }

private:
    static int checkedIndex(int index) {
        if (index < 0 || index >= N) {
            throw object::Exception("Tuple: index out of range");
        }
        return index;
    }

    T mValues[N] = {};
};

}  // namespace nevrik::container
