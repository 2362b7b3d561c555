#pragma once

#include "nevrik/object/Pointer.h"

#include <utility>

namespace nevrik::sample::detail {

/// A new reference-counted `T` whose creator's reference the pointer takes over.
template <class T, class... Arguments>
object::Pointer<T> make(Arguments&&... arguments) {
    return object::Pointer<T>::adopt(new T(std::forward<Arguments>(arguments)...));
}

}  // namespace nevrik::sample::detail
