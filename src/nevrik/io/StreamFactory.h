#pragma once

#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"

namespace nevrik::io {

class InputStream;
class OutputStream;

/// Something that hands out one input and one output stream over itself.
///
/// The streams belong to the factory and live exactly as long as it does;
/// callers borrow them. Not copyable; one thread at a time.
class StreamFactory : public object::Object, private object::Noncopyable {
public:
    virtual InputStream& getInputStream() = 0;
    virtual OutputStream& getOutputStream() = 0;
};

}  // namespace nevrik::io
