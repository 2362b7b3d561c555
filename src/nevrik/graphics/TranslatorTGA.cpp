#include "nevrik/graphics/TranslatorTGA.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics/detail/ChannelConversion.h"
#include "nevrik/graphics/detail/Decoding.h"
#include "nevrik/graphics/detail/Encoding.h"
#include "nevrik/graphics/detail/StreamReader.h"
#include "nevrik/io/TranslatorFormatException.h"
#include "nevrik/io/TranslatorMemoryException.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace nevrik::graphics {
namespace {

constexpr int kColourMapped = 1;
constexpr int kTrueColour = 2;
constexpr int kGrey = 3;
constexpr int kRunLengthColourMapped = 9;
constexpr int kRunLengthTrueColour = 10;
constexpr int kRunLengthGrey = 11;
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

// Returns the bytes the map took.
std::int64_t readColourMap(io::InputStream& stream, std::int64_t length, int entrySize,
                           Palette<uchar>& palette) {
    const int bytes = entryBytesFor(entrySize);
    const std::vector<std::uint8_t> map =
        detail::readUpTo(stream, static_cast<std::uint32_t>(length * bytes));
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
    return static_cast<std::int64_t>(map.size());
}

// Packets of up to 128 pixels, repeated or literal; a packet may run on into
// the next row but never past the last pixel. Output grows as packets come,
// and data that ends before the last pixel is a truncated file.
std::vector<std::uint8_t> decodeRunLength(io::InputStream& stream, std::int64_t total, int bytes) {
    detail::StreamReader reader(stream);
    std::vector<std::uint8_t> pixels;
    try {
        while (static_cast<std::int64_t>(pixels.size()) < total * bytes) {
            const std::uint8_t packet = reader.getExactly();
            const std::int64_t done = static_cast<std::int64_t>(pixels.size()) / bytes;
            const std::int64_t count = std::min<std::int64_t>((packet & 0x7F) + 1, total - done);
            const std::size_t start = pixels.size();
            pixels.resize(start + static_cast<std::size_t>(count * bytes));
            std::uint8_t* out = pixels.data() + start;
            if ((packet & 0x80) != 0) {
                reader.readExactly(out, static_cast<std::size_t>(bytes));
                for (std::int64_t k = 1; k < count; ++k) {
                    std::memcpy(out + k * bytes, out, static_cast<std::size_t>(bytes));
                }
            } else {
                reader.readExactly(out, static_cast<std::size_t>(count * bytes));
            }
        }
    } catch (const std::bad_alloc&) {
        throw io::TranslatorMemoryException();
    }
    return pixels;
}

// What the file's pixels are: palette indices, grey (with alpha) or colour
// words and bytes laid out as channel masks.
struct Layout {
    bool indexed;
    ChannelMasks masks;
};

Layout layoutFor(int type, int depth) {
    const bool mapped = type == kColourMapped || type == kRunLengthColourMapped;
    const bool grey = type == kGrey || type == kRunLengthGrey;
    const bool colour = type == kTrueColour || type == kRunLengthTrueColour;
    if ((mapped || colour) && depth == 8) {
        return {true, {}};
    }
    if (grey && (depth == 8 || depth == 16)) {
        return {false, {0xFFu, 0xFFu, 0xFFu, depth == 16 ? 0xFF00u : 0u}};
    }
    if (colour) {
        switch (depth) {
            case 15:
            case 16:
                // The sixteenth bit is an attribute, not alpha.
                return {false, {0x7C00u, 0x03E0u, 0x001Fu, 0}};
            case 24:
                return {false, getChannelMasks(PIXEL_BGR8)};
            case 32:
                return {false, getChannelMasks(PIXEL_BGRA8)};
            default:
                break;
        }
    }
    throw io::TranslatorFormatException();
}

}  // namespace

object::Pointer<Image> TranslatorTGA::read(io::InputStream& stream, std::uint32_t size) {
    size = detail::resolveSize(stream, size);
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

    const Layout layout = layoutFor(type, depth);
    const int bits = (depth + 7) / 8 * 8;
    const std::uint32_t format = layout.indexed ? PIXEL_INDEX8 : detail::formatForMasks(bits, layout.masks);
    detail::checkSize(format, width, height, getMemoryLimit());
    std::int64_t consumed = kHeaderSize + detail::skipForward(stream, static_cast<std::uint32_t>(idLength));
    Palette<uchar> palette;
    if (mapType == 1) {
        consumed += readColourMap(stream, mapLength, mapEntrySize, palette);
    }

    const int bytes = bits / 8;
    const std::int64_t total = std::int64_t{width} * height;
    std::vector<std::uint8_t> data;
    if (type >= kRunLengthColourMapped) {
        data = decodeRunLength(stream, total, bytes);
    } else {
        detail::requireInput(total * bytes, std::int64_t{size} - consumed);
        data = detail::readUpTo(stream, static_cast<std::uint32_t>(total * bytes));
        detail::requireInput(total * bytes, static_cast<std::int64_t>(data.size()));
    }
    const object::Pointer<Bitmap> image = detail::createBitmap(format, width, height, getMemoryLimit());
    std::uint8_t* pixels = image->lock();
    if (total > 0) {
        if (layout.indexed) {
            std::copy(data.begin(), data.end(), pixels);
        } else {
            detail::convertMasked(data.data(), bits, layout.masks, pixels, format, total);
        }
    }
    if ((descriptor & kTopLeftOrigin) == 0) {
        detail::reverseRows(pixels, image->getPitch(), height);
    }
    image->unlock();
    image->setPalette(palette);
    return image;
}

bool TranslatorTGA::write(io::OutputStream& stream, Image& image) {
    detail::WritablePixels source;
    if (!detail::toWritable(image, source) || source.width > UINT16_MAX || source.height > UINT16_MAX) {
        return false;
    }
    // Indices with a 24-bit colour map, colours as 24- or 32-bit BGR(A),
    // rows top first.
    const bool indexed = source.format == PIXEL_INDEX8;
    const bool alpha = source.format == PIXEL_RGBA8;
    std::string file;
    file += {0, static_cast<char>(indexed ? 1 : 0), static_cast<char>(indexed ? kColourMapped : kTrueColour)};
    detail::put16(file, 0);
    detail::put16(file, indexed ? Palette<uchar>::kSize : 0);
    file.push_back(static_cast<char>(indexed ? 24 : 0));
    detail::put16(file, 0);
    detail::put16(file, 0);
    detail::put16(file, static_cast<std::uint32_t>(source.width));
    detail::put16(file, static_cast<std::uint32_t>(source.height));
    file.push_back(static_cast<char>(indexed ? 8 : alpha ? 32 : 24));
    file.push_back(static_cast<char>(kTopLeftOrigin | (alpha ? 8 : 0)));
    for (int i = 0; indexed && i < Palette<uchar>::kSize; ++i) {
        const uchar* entry = source.palette.getEntry(i);
        file += {static_cast<char>(entry[2]), static_cast<char>(entry[1]), static_cast<char>(entry[0])};
    }
    if (!indexed) {
        const int bytes = getBytesPerPixel(source.format);
        for (std::size_t i = 0; i < source.pixels.size(); i += static_cast<std::size_t>(bytes)) {
            std::swap(source.pixels[i], source.pixels[i + 2]);
        }
    }
    return detail::writeAll(stream, file.data(), file.size()) &&
           detail::writeAll(stream, source.pixels.data(), source.pixels.size()) && stream.flush();
}

bool TranslatorTGA::probe(io::File& file) {
    std::uint8_t header[3] = {};
    return detail::peek(file, header, 3) == 3 && header[1] <= 1 && header[2] <= 11;
}

}  // namespace nevrik::graphics
