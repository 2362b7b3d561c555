#pragma once

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>
#include <vector>

namespace nevrik::graphics::detail {

/// The pixels of a picture being decoded, reserved only as the decoded output
/// reaches them: a header claiming a huge picture over a few bytes of data
/// costs what those bytes decode to, not what the header claims. Bytes not
/// written hold `fill`. Borrowed by one decode.
class PixelBuffer {
public:
    /// Refuses a picture above `limit` bytes (checkSize); reserves nothing.
    PixelBuffer(std::uint32_t format, std::int64_t width, std::int64_t height, std::int64_t limit,
                std::uint8_t fill = 0);

    /// The start of the pixels, of which the first `end` bytes (at most the
    /// picture's) are now there to write. Throws TranslatorMemoryException
    /// when memory runs out.
    std::uint8_t* reach(std::int64_t end);
    /// Bytes of the whole picture.
    std::int64_t getBytes() const noexcept { return mBytes; }
    /// The finished picture, its rows in reverse order when `bottomUp`.
    object::Pointer<Bitmap> finish(bool bottomUp = false);

private:
    std::uint32_t mFormat;
    std::int32_t mWidth;
    std::int32_t mHeight;
    std::int64_t mBytes;
    std::uint8_t mFill;
    std::vector<std::uint8_t> mPixels;
};

}  // namespace nevrik::graphics::detail
