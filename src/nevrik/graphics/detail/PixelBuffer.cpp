#include "nevrik/graphics/detail/PixelBuffer.h"

#include "nevrik/graphics/detail/Decoding.h"
#include "nevrik/io/TranslatorMemoryException.h"

#include <algorithm>
#include <new>
#include <utility>

namespace nevrik::graphics::detail {

PixelBuffer::PixelBuffer(std::uint32_t format, std::int64_t width, std::int64_t height, std::int64_t limit,
                         std::uint8_t fill)
    : mFormat(format),
      mWidth(static_cast<std::int32_t>(width)),
      mHeight(static_cast<std::int32_t>(height)),
      mBytes(checkSize(format, width, height, limit)),
      mFill(fill) {}

std::uint8_t* PixelBuffer::reach(std::int64_t end) {
    end = std::min(end, mBytes);
    const auto size = static_cast<std::int64_t>(mPixels.size());
    if (end > size) {
        // Doubling keeps the copies linear in the output.
        const std::int64_t grown = std::min(mBytes, std::max(end, 2 * size));
        try {
            mPixels.resize(static_cast<std::size_t>(grown), mFill);
        } catch (const std::bad_alloc&) {
            throw io::TranslatorMemoryException();
        }
    }
    return mPixels.data();
}

object::Pointer<Bitmap> PixelBuffer::finish(bool bottomUp) {
    std::uint8_t* pixels = reach(mBytes);
    if (bottomUp && mHeight > 0) {
        reverseRows(pixels, mBytes / mHeight, mHeight);
    }
    try {
        return object::make<Bitmap>(mFormat, mWidth, mHeight, std::move(mPixels));
    } catch (const std::bad_alloc&) {
        throw io::TranslatorMemoryException();
    }
}

}  // namespace nevrik::graphics::detail
