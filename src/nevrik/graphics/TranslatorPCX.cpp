#include "nevrik/graphics/TranslatorPCX.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics/detail/Decoding.h"
#include "nevrik/io/TranslatorFormatException.h"

#include <vector>

namespace nevrik::graphics {
namespace {

constexpr std::uint8_t kManufacturer = 10;
constexpr int kLargestSide = 16384;

// One side from its min and max fields: max - min + 1, refused outside 0 ... 16384.
std::int32_t sideFor(const std::uint8_t* header, int minOffset, int maxOffset) {
    const int difference = detail::readU16(header + maxOffset) - detail::readU16(header + minOffset);
    if (difference < -1 || difference >= kLargestSide) {
        throw io::TranslatorFormatException();
    }
    return difference + 1;
}

}  // namespace

object::Pointer<Image> TranslatorPCX::read(io::InputStream& stream, std::uint32_t size) {
    size = detail::resolveSize(stream, size);
    std::uint8_t header[kHeaderSize];
    if (detail::readFully(stream, header, kHeaderSize) != kHeaderSize || header[0] != kManufacturer) {
        throw io::TranslatorFormatException();
    }
    const std::int32_t width = sideFor(header, 4, 8);
    const std::int32_t height = sideFor(header, 6, 10);
    const object::Pointer<Bitmap> image = detail::createBitmap(PIXEL_INDEX8, width, height);

    const std::uint32_t overhead = kHeaderSize + kPaletteSize;
    const std::vector<std::uint8_t> data = detail::readUpTo(stream, size > overhead ? size - overhead : 0);
    std::uint8_t colours[kPaletteSize] = {};
    detail::readFully(stream, colours, kPaletteSize);
    Palette<uchar> palette;
    for (int i = 0; i < Palette<uchar>::kSize; ++i) {
        const std::uint8_t* rgb = colours + std::ptrdiff_t{3} * i;
        palette.setEntry(i, rgb[0], rgb[1], rgb[2], 0);
    }
    image->setPalette(palette);

    // Encoders pad each line to an even byte count; the pad bytes are not pixels.
    const int planes = header[65];
    const int bytesPerLine = detail::readU16(header + 66);
    const std::int64_t line = planes == 1 && bytesPerLine > width ? bytesPerLine : width;
    std::uint8_t* pixels = image->lock();
    const std::int64_t total = line * height;
    std::int64_t position = 0;
    std::int64_t x = 0;
    std::uint8_t* row = pixels;
    for (std::size_t i = 0; i < data.size() && position < total;) {
        std::uint8_t value = data[i++];
        int count = 1;
        if (value > 192) {
            if (i == data.size()) {
                break;
            }
            count = value & 0x3F;
            value = data[i++];
        }
        for (; count > 0 && position < total; --count, ++position) {
            if (x < width) {
                row[x] = value;
            }
            if (++x == line) {
                x = 0;
                row += width;
            }
        }
    }
    image->unlock();
    return image;
}

bool TranslatorPCX::write(io::OutputStream&, Image&) {
    return false;
}

bool TranslatorPCX::probe(io::File& file) {
    std::uint8_t header[kHeaderSize];
    if (detail::peek(file, header, kHeaderSize) != kHeaderSize) {
        return false;
    }
    const std::uint8_t bits = header[3];
    return header[0] == kManufacturer && header[1] <= 5 && header[2] == 1 &&
           (bits == 1 || bits == 2 || bits == 4 || bits == 8);
}

}  // namespace nevrik::graphics
