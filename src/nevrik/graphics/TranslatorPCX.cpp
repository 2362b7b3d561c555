#include "nevrik/graphics/TranslatorPCX.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics/detail/Decoding.h"
#include "nevrik/graphics/detail/PixelBuffer.h"
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
    const int bits = header[3];
    const int planes = header[65];
    const std::int64_t bytesPerLine = detail::readU16(header + 66);
    const bool mono = bits == 1 && planes == 1;
    const bool indexed = bits == 8 && planes == 1;
    const bool rgb = bits == 8 && planes == 3;
    if ((!mono && !indexed && !rgb) || bytesPerLine < (std::int64_t{width} * bits + 7) / 8) {
        throw io::TranslatorFormatException();
    }
    detail::PixelBuffer pixels(rgb ? PIXEL_RGB8 : PIXEL_INDEX8, width, height, getMemoryLimit());

    // Only 256-colour files end in a palette; the rest of the file is pixels.
    const std::uint32_t overhead = kHeaderSize + (indexed ? kPaletteSize : 0);
    const std::vector<std::uint8_t> data = detail::readUpTo(stream, size > overhead ? size - overhead : 0);
    Palette<uchar> palette;
    if (indexed) {
        std::uint8_t colours[kPaletteSize] = {};
        detail::readExactly(stream, colours, kPaletteSize);
        for (int i = 0; i < Palette<uchar>::kSize; ++i) {
            const std::uint8_t* entry = colours + std::ptrdiff_t{3} * i;
            palette.setEntry(i, entry[0], entry[1], entry[2], 0);
        }
    } else {
        palette.setEntry(1, 255, 255, 255, 0);
    }

    // Runs may cross lines; each line holds every plane in turn, padded to
    // bytes per line, and the padding is no pixel.
    const std::int64_t lineBytes = bytesPerLine * planes;
    std::vector<std::uint8_t> line = detail::allocate(static_cast<std::size_t>(lineBytes));
    const std::int64_t pitch = std::int64_t{width} * (rgb ? 3 : 1);
    std::size_t i = 0;
    std::uint8_t value = 0;
    int count = 0;
    for (std::int64_t y = 0; y < height; ++y) {
        for (std::int64_t x = 0; x < lineBytes; ++x) {
            if (count == 0) {
                if (i == data.size()) {
                    throw io::TranslatorFormatException();
                }
                value = data[i++];
                count = 1;
                if (value > 192) {
                    if (i == data.size()) {
                        throw io::TranslatorFormatException();
                    }
                    count = value & 0x3F;
                    value = data[i++];
                }
            }
            line[static_cast<std::size_t>(x)] = value;
            --count;
        }
        std::uint8_t* row = pixels.reach((y + 1) * pitch) + y * pitch;
        for (std::int64_t x = 0; x < width; ++x) {
            if (mono) {
                row[x] = (line[static_cast<std::size_t>(x >> 3)] >> (7 - (x & 7))) & 1;
            } else if (rgb) {
                for (int c = 0; c < 3; ++c) {
                    row[3 * x + c] = line[static_cast<std::size_t>(c * bytesPerLine + x)];
                }
            } else {
                row[x] = line[static_cast<std::size_t>(x)];
            }
        }
    }
    const object::Pointer<Bitmap> image = pixels.finish();
    image->setPalette(palette);
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
