#pragma once

#include "nevrik/io/detail/ConsoleOutputStream.h"

namespace nevrik::io {

/// The process's standard output as an OutputStream, through the C library's
/// buffered stdout; a write gives `count` when all of it went out, else 0.
///
/// One process-wide instance, alive until exit; callers borrow it. The C
/// library locks stdout per call, so whole writes from several threads do not mix.
class StandardOutputStream : public detail::ConsoleOutputStream {
public:
    /// The one instance.
    static StandardOutputStream& get() noexcept;

private:
    StandardOutputStream() noexcept : ConsoleOutputStream(stdout) {}
};

}  // namespace nevrik::io
