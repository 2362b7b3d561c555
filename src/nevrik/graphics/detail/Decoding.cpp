#include "nevrik/graphics/detail/Decoding.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/io/TranslatorFormatException.h"
#include "nevrik/io/TranslatorMemoryException.h"

#include <algorithm>
#include <cstring>
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

std::int64_t checkSize(std::uint32_t format, std::int64_t width, std::int64_t height, std::int64_t limit,
                       std::int64_t count) {
    const bool sides = width >= 0 && height >= 0 && width <= kMaxDimension && height <= kMaxDimension;
    // Sides of at most 2^16 keep one image below 2^36 bytes: no overflow.
    const std::int64_t bytes = sides ? getImageBytes(format, width, height) : 0;
    if (!sides || count < 0 || (bytes > 0 && count > limit / bytes) || bytes * count > limit) {
        throw io::TranslatorFormatException();
    }
    return bytes * count;
}

void requireInput(std::int64_t needed, std::int64_t present) {
    if (needed > present) {
        throw io::TranslatorFormatException();
    }
}

object::Pointer<Bitmap> createBitmap(std::uint32_t format, std::int64_t width, std::int64_t height,
                                     std::int64_t limit) {
    checkSize(format, width, height, limit);
    try {
        return object::make<Bitmap>(format, static_cast<std::int32_t>(width),
                                    static_cast<std::int32_t>(height));
    } catch (const std::bad_alloc&) {
        throw io::TranslatorMemoryException();
    }
}

void reverseRows(std::uint8_t* pixels, std::int64_t pitch, std::int64_t height) {
    if (pitch <= 0 || height < 2) {
        return;
    }
    std::vector<std::uint8_t> row = allocate(static_cast<std::size_t>(pitch));
    const auto size = static_cast<std::size_t>(pitch);
    for (std::int64_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        std::memcpy(row.data(), pixels + top * pitch, size);
        std::memcpy(pixels + top * pitch, pixels + bottom * pitch, size);
        std::memcpy(pixels + bottom * pitch, row.data(), size);
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
