#include "nevrik/graphics/TranslatorTGA.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics/detail/Decoding.h"
#include "nevrik/graphics/detail/StreamReader.h"
#include "nevrik/io/TranslatorFormatException.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace nevrik::graphics {
namespace {

constexpr int kColourMapped = 1;
constexpr int kTrueColour = 2;
constexpr int kRunLengthTrueColour = 10;
constexpr std::uint8_t kTopLeftOrigin = 0x20;

int entryBytesFor(int entrySize) {
    switch (entrySize) {
        case 15:
        case 16:
            return 2;
        case 24:
            return 3;
        case 32:
            return 4;
        default:
            throw io::TranslatorFormatException();
    }
}

void readColourMap(io::InputStream& stream, std::int64_t length, int entrySize, Image& image) {
    const int bytes = entryBytesFor(entrySize);
    const std::vector<std::uint8_t> map =
        detail::readUpTo(stream, static_cast<std::uint32_t>(length * bytes));
    Palette<uchar> palette;
    const std::size_t entries = std::min<std::size_t>(map.size() / bytes, Palette<uchar>::kSize);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint8_t* entry = map.data() + i * bytes;
        if (bytes == 2) {
            const std::uint16_t word = detail::readU16(entry);
            palette.setEntry(static_cast<int>(i), static_cast<uchar>((word >> 7) & 0xF8),
                             static_cast<uchar>((word >> 2) & 0xF8), static_cast<uchar>((word << 3) & 0xF8),
                             0);
        } else {
            palette.setEntry(static_cast<int>(i), entry[2], entry[1], entry[0], bytes == 4 ? entry[3] : 0);
        }
    }
    image.setPalette(palette);
}

// Packets of up to 128 pixels, repeated or literal; a packet may run on into
// the next row but never past the last pixel.
void decodeRunLength(io::InputStream& stream, std::uint8_t* pixels, std::int64_t total, int bytes) {
    detail::StreamReader reader(stream);
    std::int64_t done = 0;
    while (done < total) {
        const int packet = reader.get();
        if (packet < 0) {
            return;
        }
        const std::int64_t count = std::min<std::int64_t>((packet & 0x7F) + 1, total - done);
        std::uint8_t* out = pixels + done * bytes;
        if ((packet & 0x80) != 0) {
            std::uint8_t pixel[4];
            if (reader.read(pixel, static_cast<std::size_t>(bytes)) != static_cast<std::size_t>(bytes)) {
                return;
            }
            for (std::int64_t k = 0; k < count; ++k) {
                std::memcpy(out + k * bytes, pixel, static_cast<std::size_t>(bytes));
            }
        } else if (reader.read(out, static_cast<std::size_t>(count * bytes)) !=
                   static_cast<std::size_t>(count * bytes)) {
            return;
        }
        done += count;
    }
}

// TGA keeps blue in the low bits; the engine's RGB555 keeps red there.
void swapRedAndBlue(std::uint8_t* pixels, std::int64_t total) {
    for (std::int64_t i = 0; i < total; ++i) {
        std::uint8_t* pixel = pixels + 2 * i;
        const std::uint16_t word = detail::readU16(pixel);
        const auto swapped =
            static_cast<std::uint16_t>((word & 0x03E0) | (word & 0x1F) << 10 | (word >> 10 & 0x1F));
        pixel[0] = static_cast<std::uint8_t>(swapped);
        pixel[1] = static_cast<std::uint8_t>(swapped >> 8);
    }
}

void reverseRows(std::uint8_t* pixels, std::int64_t pitch, std::int64_t height) {
    for (std::int64_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(pixels + top * pitch, pixels + (top + 1) * pitch, pixels + bottom * pitch);
    }
}

}  // namespace

object::Pointer<Image> TranslatorTGA::read(io::InputStream& stream, std::uint32_t) {
    std::uint8_t header[kHeaderSize];
    detail::readExactly(stream, header, kHeaderSize);
    const int idLength = header[0];
    const int mapType = header[1];
    const int type = header[2];
    const std::int64_t mapLength = detail::readU16(header + 5);
    const int mapEntrySize = header[7];
    const std::int32_t width = detail::readU16(header + 12);
    const std::int32_t height = detail::readU16(header + 14);
    const int depth = std::max<int>(header[16], 8);
    const std::uint8_t descriptor = header[17];

    // 16-bit pixels are 5 bits per colour too; the sixteenth bit is an attribute.
    if (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32) {
        throw io::TranslatorFormatException();
    }
    const std::uint32_t format = detail::formatForBits(depth, PIXEL_RGB555);
    if (type != kColourMapped && type != kTrueColour && type != kRunLengthTrueColour) {
        throw io::TranslatorFormatException();
    }
    const object::Pointer<Bitmap> image = detail::createBitmap(format, width, height);
    detail::skipForward(stream, static_cast<std::uint32_t>(idLength));
    if (mapType == 1) {
        readColourMap(stream, mapLength, mapEntrySize, *image);
    }

    const int bytes = (depth + 7) / 8;
    const std::int64_t total = std::int64_t{width} * height;
    std::uint8_t* pixels = image->lock();
    if (type == kRunLengthTrueColour) {
        decodeRunLength(stream, pixels, total, bytes);
    } else if (total > 0) {
        detail::readFully(stream, pixels, static_cast<std::int32_t>(total * bytes));
    }
    if (format == PIXEL_RGB555) {
        swapRedAndBlue(pixels, total);
    }
    if ((descriptor & kTopLeftOrigin) == 0) {
        reverseRows(pixels, image->getPitch(), height);
    }
    image->unlock();
    return image;
}

bool TranslatorTGA::write(io::OutputStream&, Image&) {
    return false;
}

bool TranslatorTGA::probe(io::File& file) {
    std::uint8_t header[3] = {};
    return detail::peek(file, header, 3) == 3 && header[1] <= 1 && header[2] <= 11;
}

}  // namespace nevrik::graphics
