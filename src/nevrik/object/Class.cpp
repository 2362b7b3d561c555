#include "nevrik/object/Class.h"

#include <utility>

namespace nevrik::object {

Class::Class(types::String name) noexcept : mName(std::move(name)) {}

types::String Class::getName() const { return mName; }

types::String Class::toString() const { return mName; }

}  // namespace nevrik::object
