#pragma once

#include "nevrik/container/detail/Ring.h"

#include <utility>

namespace nevrik::container {

/// One element of a List: the value and its links. Made and destroyed by the
/// list in its allocator; valid until removed from the list.
template <class T>
class ListItem : public detail::Link<ListItem<T>> {
public:
    explicit ListItem(const T& value) : mValue(value) {}
    explicit ListItem(T&& value) : mValue(std::move(value)) {}

    T& getValue() noexcept { return mValue; }
    const T& getValue() const noexcept { return mValue; }

private:
    T mValue;
};

}  // namespace nevrik::container
