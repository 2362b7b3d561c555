#pragma once

#include "nevrik/container/detail/Compare.h"

#include <utility>

namespace nevrik::container {

/// Two values, ordered first by `first` and then by `second`, so that a pair
/// can key a Map or Set or sort an Array. A plain value record.
template <class A, class B>
struct Pair {
    Pair() = default;
    Pair(A firstValue, B secondValue) : first(std::move(firstValue)), second(std::move(secondValue)) {}

    /// Three-way order, each member ordered as a map key.
    int compare(const Pair& other) const {
        if (const int order = detail::compare(first, other.first)) {
            return order;
        }
        return detail::compare(second, other.second);
    }
    friend bool operator==(const Pair& a, const Pair& b) { return a.compare(b) == 0; }
    friend bool operator!=(const Pair& a, const Pair& b) { return a.compare(b) != 0; }
    friend bool operator<(const Pair& a, const Pair& b) { return a.compare(b) < 0; }

    A first{};
    B second{};
};

}  // namespace nevrik::container
