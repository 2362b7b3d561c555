#pragma once

#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

namespace nevrik::io {

/// Base of the engine's byte pipes. Streams report trouble only through their
/// results (a short count, 0 available), never by a status of their own.
///
/// Reference-counted like any Object, or embedded by value in the file that
/// hands them out; not copyable; one thread at a time.
class Stream : public object::Object, private object::Noncopyable {
public:
    NEVRIK_CLASS_NAME(object::Object, ":Stream")
};

}  // namespace nevrik::io
