#pragma once

#include <functional>
#include <type_traits>
#include <utility>

namespace nevrik::container::detail {

template <class K, class = void>
struct HasCompare : std::false_type {};
template <class K>
struct HasCompare<K, std::void_t<decltype(std::declval<const K&>().compare(std::declval<const K&>()))>>
    : std::true_type {};

/// Three-way order of two keys: negative, zero or positive. Keys with a
/// compare() member (String, Tuple, Pair) answer in one call, so String keys
/// test length before bytes; pointers use std::less, which orders any two
/// pointers; everything else uses operator<.
template <class K>
int compare(const K& a, const K& b) {
    if constexpr (HasCompare<K>::value) {
        return a.compare(b);
    } else if constexpr (std::is_pointer_v<K>) {
        const std::less<K> less;
        return less(a, b) ? -1 : (less(b, a) ? 1 : 0);
    } else {
        return a < b ? -1 : (b < a ? 1 : 0);
    }
}

}  // namespace nevrik::container::detail
