#pragma once

#include "nevrik/io/Stream.h"

#include <cstdint>

namespace nevrik::io {

/// A sink of bytes: the only thing format translators write to.
///
/// Kept alive by its holder (a file embeds one); one thread at a time.
class OutputStream : public Stream {
public:
    /// Writes up to `count` bytes of `buffer`; returns how many were written,
    /// 0 on failure or for count <= 0.
    virtual std::int32_t write(const void* buffer, std::int32_t count) = 0;
    virtual bool flush() = 0;
    virtual bool close() { return true; }

    NEVRIK_CLASS_NAME(Stream, ":OutputStream")
};

}  // namespace nevrik::io
