#pragma once

#include "nevrik/object/Exception.h"

#include <cstdint>

namespace nevrik::io {

/// Root of the file, stream and translator errors; catching it catches them all.
///
/// Thrown by value, caught by reference. raise() is the one place that turns
/// a failed system call into an exception: it reads the calling thread's last
/// error, so it must run on that thread before any other file call.
class IOException : public object::Exception {
    NEVRIK_EXCEPTION_BODY(IOException, object::Exception)

public:
    /// Throws the exception that the calling thread's last error maps to.
    [[noreturn]] static void raise();
    /// Throws the exception for the Win32 error `code`: a known code gives its
    /// class and message, any other code (0 included) a plain "IOException".
    [[noreturn]] static void raise(std::uint32_t code);
    /// As raise(), naming `path` (when not empty) as where the failure happened.
    [[noreturn]] static void raiseFor(const types::String& path);
    [[noreturn]] static void raiseFor(std::uint32_t code, const types::String& path);
};

}  // namespace nevrik::io
