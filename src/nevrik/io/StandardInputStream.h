#pragma once

#include "nevrik/io/InputStream.h"

namespace nevrik::io {

/// The process's standard input as an InputStream, through the C library's
/// buffered stdin.
///
/// One process-wide instance, alive until exit; callers borrow it. The C
/// library locks stdin per call, but interleaved readers get interleaved bytes.
class StandardInputStream : public InputStream {
public:
    /// The one instance.
    static StandardInputStream& get() noexcept;

    /// `count` when all of it was read, else 0 (a partial read also gives 0).
    std::int32_t read(void* buffer, std::int32_t count) override;
    /// `count` when the stream could move that far, else 0 (a pipe cannot).
    std::int32_t skip(std::int32_t count) override;
    /// Always 1: a console cannot tell how much more will come.
    std::uint32_t available() override;

private:
    StandardInputStream() = default;
};

}  // namespace nevrik::io
