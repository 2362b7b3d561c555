#pragma once

#include "nevrik/object/Exception.h"
#include "nevrik/types/String.h"

#include <typeinfo>

namespace nevrik::sample::detail {

/// Rethrows the exception being handled as the same class with `message`,
/// so that the text escaping a thread says what failed (which file, and why)
/// while handlers still see the class they expect. Classes outside
/// `Classes...` are rethrown unchanged. Call only inside a catch block.
template <class... Classes>
[[noreturn]] void rethrowWithMessage(const object::Exception& error, const types::String& message) {
    // Exact class only: a base class would slice a more specific exception.
    ((typeid(error) == typeid(Classes) ? throw Classes(message) : void()), ...);
    throw;
}

}  // namespace nevrik::sample::detail
