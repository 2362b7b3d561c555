#pragma once

#include "nevrik/io/Stream.h"

#include <cstdint>

namespace nevrik::io {

/// A source of bytes: the only thing format translators read from.
///
/// Kept alive by its holder (a file embeds two, a DataInput holds a
/// reference); one thread at a time.
class InputStream : public Stream {
public:
    /// Fills up to `count` bytes of `buffer`; returns how many it read, 0 at
    /// the end, on failure or for count <= 0.
    virtual std::int32_t read(void* buffer, std::int32_t count) = 0;
    /// Moves `count` bytes on; returns how far it moved.
    virtual std::int32_t skip(std::int32_t count) = 0;
    /// How many bytes can still be read; 0 at the end of the stream.
    virtual std::uint32_t available() = 0;
    virtual bool close() { return true; }

    NEVRIK_CLASS_NAME(Stream, ":InputStream")
};

}  // namespace nevrik::io
