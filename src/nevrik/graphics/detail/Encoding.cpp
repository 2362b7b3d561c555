#include "nevrik/graphics/detail/Encoding.h"

#include "nevrik/graphics/FilterDecompress.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics/detail/ChannelConversion.h"

#include <algorithm>
#include <climits>

namespace nevrik::graphics::detail {

bool toWritable(Image& image, WritablePixels& out) {
    object::Pointer<Image> source(&image);
    if (isCompressed(image.getFormat())) {
        source = FilterDecompress().apply(image);
        if (!source) {
            return false;
        }
    }
    const std::uint32_t format = source->getFormat();
    const ChannelMasks masks = getChannelMasks(format);
    const int bytes = getBytesPerPixel(format);
    const std::uint8_t* pixels = source->lock();
    source->unlock();
    if (pixels == nullptr || (format != PIXEL_INDEX8 && masks == ChannelMasks{})) {
        return false;
    }
    out.format = format == PIXEL_INDEX8 ? PIXEL_INDEX8 : masks.alpha != 0 ? PIXEL_RGBA8 : PIXEL_RGB8;
    out.width = source->getWidth();
    out.height = source->getHeight();
    const auto count = static_cast<std::int64_t>(out.width) * out.height;
    out.pixels.resize(static_cast<std::size_t>(count * getBytesPerPixel(out.format)));
    if (format == PIXEL_INDEX8) {
        std::copy(pixels, pixels + count, out.pixels.begin());
        source->getPalette(out.palette);
    } else {
        convertMasked(pixels, bytes * 8, masks, out.pixels.data(), out.format, count);
    }
    return true;
}

void put16(std::string& out, std::uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void put32(std::string& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

bool writeAll(io::OutputStream& stream, const void* bytes, std::size_t count) {
    const auto* next = static_cast<const std::uint8_t*>(bytes);
    while (count > 0) {
        const auto step = static_cast<std::int32_t>(std::min<std::size_t>(count, INT_MAX));
        const std::int32_t written = stream.write(next, step);
        if (written <= 0) {
            return false;
        }
        next += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace nevrik::graphics::detail
