#include "nevrik/graphics/detail/Decoding.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/io/TranslatorFormatException.h"
#include "nevrik/io/TranslatorMemoryException.h"

#include <algorithm>
#include <new>

namespace nevrik::graphics::detail {
namespace {

constexpr std::int32_t kChunk = 1 << 16;

}  // namespace

std::uint32_t formatForBits(int bits, std::uint32_t sixteen) {
    switch (bits) {
        case 1:
        case 2:
        case 4:
        case 8:
            return PIXEL_INDEX8;
        case 15:
            return PIXEL_RGB555;
        case 16:
            return sixteen;
        case 24:
            return PIXEL_BGR8;
        case 32:
            return PIXEL_BGRA8;
        default:
            throw io::TranslatorFormatException();
    }
}

std::uint32_t resolveSize(io::InputStream& stream, std::uint32_t size) {
    return size == kSizeFromStream ? stream.available() : size;
}

std::int32_t readFully(io::InputStream& stream, void* buffer, std::int32_t count) {
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    std::int32_t done = 0;
    while (done < count) {
        const std::int32_t got = stream.read(bytes + done, count - done);
        if (got <= 0) {
            break;
        }
        done += got;
    }
    return done;
}

void readExactly(io::InputStream& stream, void* buffer, std::int32_t count) {
    if (readFully(stream, buffer, count) != count) {
        throw io::TranslatorFormatException();
    }
}

std::vector<std::uint8_t> readUpTo(io::InputStream& stream, std::uint32_t limit) {
    std::vector<std::uint8_t> data;
    try {
        // What the stream says it has is only a hint, but saves regrowing.
        data.reserve(std::min(limit, stream.available()));
        while (data.size() < limit) {
            const std::size_t start = data.size();
            const auto wanted = static_cast<std::int32_t>(std::min<std::size_t>(kChunk, limit - start));
            data.resize(start + static_cast<std::size_t>(wanted));
            const std::int32_t got = readFully(stream, data.data() + start, wanted);
            data.resize(start + static_cast<std::size_t>(got));
            if (got < wanted) {
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        throw io::TranslatorMemoryException();
    }
    return data;
}

std::uint32_t skipForward(io::InputStream& stream, std::uint32_t count) {
    std::uint32_t done = 0;
    while (done < count) {
        const auto step = static_cast<std::int32_t>(std::min<std::uint32_t>(count - done, kChunk));
        std::int32_t moved = stream.skip(step);
        if (moved <= 0) {
            // Streams that cannot move (a console) still give their bytes.
            std::uint8_t scratch[4096];
            moved = stream.read(scratch, std::min<std::int32_t>(step, sizeof scratch));
            if (moved <= 0) {
                break;
            }
        }
        done += static_cast<std::uint32_t>(moved);
    }
    return done;
}

std::int32_t peek(io::File& file, void* buffer, std::int32_t count) noexcept {
    try {
        return readFully(file.getInputStream(), buffer, count);
    } catch (...) {
        return 0;
    }
}

void checkSize(std::uint32_t format, std::int64_t width, std::int64_t height, std::int64_t count) {
    const bool sides = width >= 0 && height >= 0 && width <= kMaxDimension && height <= kMaxDimension;
    if (!sides || count < 0 || getBytesPerPixel(format) * width * height * count > kMaxImageBytes) {
        throw io::TranslatorFormatException();
    }
}

object::Pointer<Bitmap> createBitmap(std::uint32_t format, std::int64_t width, std::int64_t height) {
    checkSize(format, width, height);
    try {
        return object::make<Bitmap>(format, static_cast<std::int32_t>(width),
                                    static_cast<std::int32_t>(height));
    } catch (const std::bad_alloc&) {
        throw io::TranslatorMemoryException();
    }
}

std::vector<std::uint8_t> allocate(std::size_t count) {
    try {
        return std::vector<std::uint8_t>(count);
    } catch (const std::bad_alloc&) {
        throw io::TranslatorMemoryException();
    }
}

}  // namespace nevrik::graphics::detail
