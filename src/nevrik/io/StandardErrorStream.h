#pragma once

#include "nevrik/io/detail/ConsoleOutputStream.h"

namespace nevrik::io {

/// The process's standard error as an OutputStream, through the C library's
/// buffered stderr; a write gives `count` when all of it went out, else 0.
///
/// One process-wide instance, alive until exit; callers borrow it. The C
/// library locks stderr per call, so whole writes from several threads do not mix.
class StandardErrorStream : public detail::ConsoleOutputStream {
public:
    /// The one instance.
    static StandardErrorStream& get() noexcept;

private:
    StandardErrorStream() noexcept : ConsoleOutputStream(stderr) {}
};

}  // namespace nevrik::io
