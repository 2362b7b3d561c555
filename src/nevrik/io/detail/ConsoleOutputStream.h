#pragma once

#include "nevrik/io/OutputStream.h"

#include <cstdio>

namespace nevrik::io::detail {

/// What standard output and standard error have in common: whole-element
/// writes to one C library stream.
class ConsoleOutputStream : public OutputStream {
public:
    /// `count` when all of it was written, else 0.
    std::int32_t write(const void* buffer, std::int32_t count) override;
    /// Flushes the C library's buffer; always true.
    bool flush() override;

protected:
    explicit ConsoleOutputStream(std::FILE* stream) noexcept : mStream(stream) {}

private:
    std::FILE* mStream;
};

}  // namespace nevrik::io::detail
