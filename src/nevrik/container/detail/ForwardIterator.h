#pragma once

#include <cstddef>
#include <iterator>

namespace nevrik::container::detail {

/// The traits and equality shared by the containers' forward iterators.
/// Derived has a position() whose equality decides the iterators'.
template <class Derived, class Value, class Reference>
class ForwardIterator {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Value;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = Reference;

    friend bool operator==(const Derived& a, const Derived& b) noexcept {
        return a.position() == b.position();
    }
    friend bool operator!=(const Derived& a, const Derived& b) noexcept {
        return a.position() != b.position();
    }
};

}  // namespace nevrik::container::detail
