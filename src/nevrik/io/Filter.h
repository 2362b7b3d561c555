#pragma once

#include "nevrik/container/Chainable.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"

namespace nevrik::io {

/// A transformation of an object in memory: makes a new U from a T.
///
/// Chainable so that filters can be kept in a chain like translators; one
/// destroyed while on a chain unlinks itself. Reference-counted or held by
/// value; one thread at a time.
template <class T, class U>
class Filter : public object::Object, public container::Chainable<Filter<T, U>> {
public:
    /// A new U made from `source`, with its only reference; `source` is not changed.
    virtual object::Pointer<U> apply(T& source) = 0;

    NEVRIK_CLASS_NAME(object::Object, ":Filter")
};

}  // namespace nevrik::io
