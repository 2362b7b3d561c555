#pragma once

#include "nevrik/io/InputStream.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace nevrik::graphics::detail {

/// Buffered reading of a stream for decoders that take a byte or a pixel at a
/// time, never more than `limit` bytes in all. Reads ahead: the stream is left
/// past the bytes handed out. Borrows the stream for one decode.
class StreamReader {
public:
    explicit StreamReader(io::InputStream& stream,
                          std::uint64_t limit = std::numeric_limits<std::uint64_t>::max());

    /// The next byte, or -1 at the end.
    int get() {
        if (mNext == mEnd && !fill()) {
            return -1;
        }
        return *mNext++;
    }
    /// Copies up to `count` bytes; returns how many there were.
    std::size_t read(void* buffer, std::size_t count);
    /// Copies exactly `count` bytes or throws TranslatorFormatException.
    void readExactly(void* buffer, std::size_t count);
    /// The next byte, or TranslatorFormatException at the end.
    std::uint8_t getExactly() {
        const int byte = get();
        if (byte < 0) {
            fail();
        }
        return static_cast<std::uint8_t>(byte);
    }

    /// Bytes of the limit not yet handed out.
    std::uint64_t getLeft() const noexcept { return mLeft + static_cast<std::uint64_t>(mEnd - mNext); }

private:
    static constexpr std::size_t kBufferSize = 1 << 16;

    bool fill();
    [[noreturn]] static void fail();

    io::InputStream& mStream;
    std::uint64_t mLeft;
    std::vector<std::uint8_t> mBuffer;
    const std::uint8_t* mNext = nullptr;
    const std::uint8_t* mEnd = nullptr;
};

}  // namespace nevrik::graphics::detail
