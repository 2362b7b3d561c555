#include "nevrik/graphics/TranslatorBMP.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics/detail/ChannelConversion.h"
#include "nevrik/graphics/detail/Decoding.h"
#include "nevrik/graphics/detail/Encoding.h"
#include "nevrik/graphics/detail/PixelBuffer.h"
#include "nevrik/io/TranslatorFormatException.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace nevrik::graphics {
namespace {

constexpr std::int32_t kFileHeaderSize = 14;
// The info header fields used end at the bit count (offset 14, 16 bits);
// compression and colours used exist from 40 bytes on; beyond 124 nothing
// is read.
constexpr std::uint32_t kSmallestInfo = 16;
constexpr std::uint32_t kFullInfo = 40;
constexpr std::uint32_t kLargestInfo = 124;
constexpr std::uint32_t kVersion4Info = 108;
constexpr std::uint32_t kPixelsPerMetre = 2835;      // 72 dots an inch
constexpr std::uint32_t kStandardRgb = 0x73524742u;  // "sRGB"

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;
// Where the masks sit in an info header long enough to hold them.
constexpr std::uint32_t kMasksOffset = 40;
constexpr std::uint32_t kAlphaMaskEnd = 56;

// Run-length output in file order (bottom row first) and where the next
// pixel goes; memory is reserved only as far as pixels are written.
class Canvas {
public:
    Canvas(detail::PixelBuffer& pixels, std::int64_t width, std::int64_t rows) noexcept
        : mPixels(pixels), mWidth(width), mRows(rows) {}

    bool done() const noexcept { return mRow >= mRows; }
    void endLine() noexcept {
        mX = 0;
        ++mRow;
    }
    void move(int dx, int dy) noexcept {
        mX += dx;
        mRow += dy;
    }
    // Writes `count` pixels from `pixel(k)`, dropping those past the row end.
    template <class Pixel>
    void put(std::int64_t count, Pixel pixel) {
        const std::int64_t fits = std::clamp<std::int64_t>(mWidth - mX, 0, count);
        if (fits > 0 && !done()) {
            const std::int64_t start = mRow * mWidth + mX;
            std::uint8_t* out = mPixels.reach(start + fits) + start;
            for (std::int64_t k = 0; k < fits; ++k) {
                out[k] = pixel(k);
            }
        }
        mX += count;
    }

private:
    detail::PixelBuffer& mPixels;
    std::int64_t mWidth;
    std::int64_t mRows;
    std::int64_t mX = 0;
    std::int64_t mRow = 0;
};

// RLE8 and RLE4 share the escape codes; only how a byte becomes pixels
// differs. Data that ends before the end-of-picture code or the last row is
// a truncated file.
void decodeRunLength(const std::vector<std::uint8_t>& data, Canvas& canvas, bool nibbles) {
    const std::size_t size = data.size();
    std::size_t i = 0;
    while (!canvas.done()) {
        if (i + 1 >= size) {
            throw io::TranslatorFormatException();
        }
        const std::uint8_t count = data[i];
        const std::uint8_t value = data[i + 1];
        i += 2;
        if (count > 0) {
            canvas.put(count, [&](std::int64_t k) -> std::uint8_t {
                return nibbles ? ((k & 1) != 0 ? value & 0x0F : value >> 4) : value;
            });
            continue;
        }
        switch (value) {
            case 0:
                canvas.endLine();
                break;
            case 1:
                return;
            case 2:
                if (i + 1 >= size) {
                    throw io::TranslatorFormatException();
                }
                canvas.move(data[i], data[i + 1]);
                i += 2;
                break;
            default: {
                // An absolute run: `value` pixels, padded to an even byte count.
                const std::size_t bytes = nibbles ? (value + 1u) / 2u : value;
                if (bytes > size - i) {
                    throw io::TranslatorFormatException();
                }
                const std::uint8_t* run = data.data() + i;
                canvas.put(value, [&](std::int64_t k) -> std::uint8_t {
                    return nibbles ? ((k & 1) != 0 ? run[k / 2] & 0x0F : run[k / 2] >> 4) : run[k];
                });
                i += (bytes + 1) & ~std::size_t{1};
                break;
            }
        }
    }
}

// One file row into one memory row of `width` pixels.
void convertRow(const std::uint8_t* in, std::uint8_t* out, std::int64_t width, int bitCount,
                const ChannelMasks& masks, std::uint32_t format) {
    switch (bitCount) {
        case 1:
            for (std::int64_t x = 0; x < width; ++x) {
                out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
            }
            break;
        case 4:
            for (std::int64_t x = 0; x < width; ++x) {
                out[x] = (x & 1) != 0 ? in[x >> 1] & 0x0F : in[x >> 1] >> 4;
            }
            break;
        case 8:
            std::copy_n(in, width, out);
            break;
        default:
            detail::convertMasked(in, bitCount, masks, out, format, width);
            break;
    }
}

// Channel masks of 16- and 32-bit pixels: the bit fields when the file gives
// them (inside an info header of 52 bytes or more, else just after it), the
// fixed layouts of uncompressed pixels otherwise.
ChannelMasks masksFor(io::InputStream& stream, const std::uint8_t* info, std::uint32_t infoSize, int bitCount,
                      std::uint32_t compression, std::int64_t& consumed) {
    if (compression == kRgb) {
        return bitCount == 16 ? ChannelMasks{0x7C00u, 0x03E0u, 0x001Fu, 0}
                              : ChannelMasks{0xFF0000u, 0xFF00u, 0xFFu, 0};
    }
    const bool alpha = compression == kAlphaBitFields;
    std::uint8_t fields[16] = {};
    if (infoSize >= kMasksOffset + 12) {
        std::memcpy(fields, info + kMasksOffset, infoSize >= kAlphaMaskEnd ? 16 : 12);
    } else {
        const int count = alpha ? 16 : 12;
        detail::readExactly(stream, fields, count);
        consumed += count;
    }
    return ChannelMasks{detail::readU32(fields), detail::readU32(fields + 4), detail::readU32(fields + 8),
                        alpha || infoSize >= kAlphaMaskEnd ? detail::readU32(fields + 12) : 0};
}

}  // namespace

object::Pointer<Image> TranslatorBMP::read(io::InputStream& stream, std::uint32_t size) {
    size = detail::resolveSize(stream, size);
    std::uint8_t header[kFileHeaderSize];
    detail::readExactly(stream, header, kFileHeaderSize);
    if (detail::readU16(header) != 0x4D42) {
        throw io::TranslatorFormatException();
    }
    const std::uint32_t offset = detail::readU32(header + 10);

    std::uint8_t info[kLargestInfo] = {};
    detail::readExactly(stream, info, 4);
    const std::uint32_t infoSize = detail::readU32(info);
    if (infoSize < kSmallestInfo) {
        throw io::TranslatorFormatException();
    }
    const std::uint32_t kept = std::min(infoSize, kLargestInfo);
    detail::readExactly(stream, info + 4, static_cast<std::int32_t>(kept - 4));
    const auto width = static_cast<std::int32_t>(detail::readU32(info + 4));
    const auto height = static_cast<std::int32_t>(detail::readU32(info + 8));
    // 15-bit pixels are stored as whole 16-bit words.
    const int bitCount = detail::readU16(info + 14) == 15 ? 16 : detail::readU16(info + 14);
    const std::uint32_t compression = infoSize >= kFullInfo ? detail::readU32(info + 16) : kRgb;
    const std::uint32_t coloursUsed = infoSize >= kFullInfo ? detail::readU32(info + 32) : 0;

    const bool topDown = height < 0;
    const std::int64_t rows = topDown ? -std::int64_t{height} : height;
    const bool runLength = compression == kRle8 || compression == kRle4;
    const bool bitFields = compression == kBitFields || compression == kAlphaBitFields;
    const bool indexed = bitCount == 1 || bitCount == 4 || bitCount == 8;
    const bool valid = compression == kRgb ? indexed || bitCount == 16 || bitCount == 24 || bitCount == 32
                       : runLength         ? !topDown && bitCount == (compression == kRle8 ? 8 : 4)
                       : bitFields         ? bitCount == 16 || bitCount == 32
                                           : false;
    if (!valid) {
        throw io::TranslatorFormatException();
    }

    // The palette or bit fields follow the whole info header, however long,
    // and end where the pixels begin at the latest.
    std::int64_t consumed = kFileHeaderSize + std::int64_t{kept};
    consumed += detail::skipForward(stream, infoSize - kept);
    ChannelMasks masks;
    std::uint32_t format = PIXEL_INDEX8;
    if (!indexed) {
        masks = masksFor(stream, info, infoSize, bitCount, compression, consumed);
        format = detail::formatForMasks(bitCount, masks);
    }
    detail::checkSize(format, width, rows, getMemoryLimit());
    if (offset < consumed) {
        throw io::TranslatorFormatException();
    }
    Palette<uchar> palette;
    if (indexed) {
        const std::int64_t entries = coloursUsed != 0 ? coloursUsed : 1 << bitCount;
        const std::int64_t stored =
            std::min({entries, std::int64_t{Palette<uchar>::kSize}, (offset - consumed) / 4});
        std::uint8_t quads[Palette<uchar>::kSize * 4] = {};
        consumed += detail::readFully(stream, quads, static_cast<std::int32_t>(stored * 4));
        for (std::int64_t i = 0; i < stored; ++i) {
            const std::uint8_t* quad = quads + i * 4;
            palette.setEntry(static_cast<int>(i), quad[2], quad[1], quad[0], 0);
        }
    }
    // Palette entries past 256 and any gap before the pixels.
    detail::skipForward(stream, static_cast<std::uint32_t>(offset - consumed));
    const std::int64_t present = size > offset ? size - offset : 0;

    object::Pointer<Bitmap> image;
    if (runLength) {
        const std::vector<std::uint8_t> data = detail::readUpTo(stream, static_cast<std::uint32_t>(present));
        detail::PixelBuffer pixels(format, width, rows, getMemoryLimit());
        Canvas canvas(pixels, width, rows);
        decodeRunLength(data, canvas, compression == kRle4);
        image = pixels.finish(true);
    } else {
        const std::int64_t stride = (std::int64_t{width} * bitCount + 31) / 32 * 4;
        detail::requireInput(stride * rows, present);
        const std::vector<std::uint8_t> data =
            detail::readUpTo(stream, static_cast<std::uint32_t>(stride * rows));
        detail::requireInput(stride * rows, static_cast<std::int64_t>(data.size()));
        image = detail::createBitmap(format, width, rows, getMemoryLimit());
        std::uint8_t* out = image->lock();
        for (std::int64_t r = 0; r < rows && width > 0; ++r) {
            const std::int64_t y = topDown ? r : rows - 1 - r;
            convertRow(data.data() + r * stride, out + y * image->getPitch(), width, bitCount, masks, format);
        }
        image->unlock();
    }
    image->setPalette(palette);
    return image;
}

bool TranslatorBMP::write(io::OutputStream& stream, Image& image) {
    detail::WritablePixels source;
    if (!detail::toWritable(image, source)) {
        return false;
    }
    // Indices with their palette, colours as 24-bit BGR, colours with alpha
    // as 32-bit bit fields behind a version 4 header, which carries the
    // alpha mask.
    const bool indexed = source.format == PIXEL_INDEX8;
    const bool alpha = source.format == PIXEL_RGBA8;
    const int bitCount = indexed ? 8 : alpha ? 32 : 24;
    const std::uint32_t infoSize = alpha ? kVersion4Info : kFullInfo;
    const std::int64_t stride = (std::int64_t{source.width} * bitCount + 31) / 32 * 4;
    const std::int64_t offset = kFileHeaderSize + infoSize + (indexed ? Palette<uchar>::kSize * 4 : 0);
    if (offset + stride * source.height > UINT32_MAX) {
        return false;
    }
    std::string file = "BM";
    detail::put32(file, static_cast<std::uint32_t>(offset + stride * source.height));
    detail::put32(file, 0);
    detail::put32(file, static_cast<std::uint32_t>(offset));
    detail::put32(file, infoSize);
    detail::put32(file, static_cast<std::uint32_t>(source.width));
    detail::put32(file, static_cast<std::uint32_t>(source.height));
    detail::put16(file, 1);
    detail::put16(file, static_cast<std::uint32_t>(bitCount));
    detail::put32(file, alpha ? kBitFields : kRgb);
    detail::put32(file, static_cast<std::uint32_t>(stride * source.height));
    detail::put32(file, kPixelsPerMetre);
    detail::put32(file, kPixelsPerMetre);
    detail::put32(file, indexed ? Palette<uchar>::kSize : 0);
    detail::put32(file, 0);
    if (alpha) {
        const ChannelMasks masks = getChannelMasks(PIXEL_BGRA8);
        for (const std::uint64_t mask : {masks.red, masks.green, masks.blue, masks.alpha}) {
            detail::put32(file, static_cast<std::uint32_t>(mask));
        }
        detail::put32(file, kStandardRgb);
        file.resize(kFileHeaderSize + kVersion4Info, '\0');
    }
    for (int i = 0; indexed && i < Palette<uchar>::kSize; ++i) {
        const uchar* entry = source.palette.getEntry(i);
        file += {static_cast<char>(entry[2]), static_cast<char>(entry[1]), static_cast<char>(entry[0]), 0};
    }
    if (!detail::writeAll(stream, file.data(), file.size())) {
        return false;
    }
    // Rows bottom first, colours as blue, green, red (alpha).
    const int bytes = getBytesPerPixel(source.format);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(stride));
    for (std::int64_t y = source.height - 1; y >= 0; --y) {
        const std::uint8_t* in = source.pixels.data() + y * source.width * bytes;
        for (std::int64_t x = 0; x < source.width; ++x) {
            std::uint8_t* out = row.data() + x * bytes;
            std::copy_n(in + x * bytes, bytes, out);
            if (!indexed) {
                std::swap(out[0], out[2]);
            }
        }
        if (!detail::writeAll(stream, row.data(), row.size())) {
            return false;
        }
    }
    return stream.flush();
}

bool TranslatorBMP::probe(io::File& file) {
    std::uint8_t magic[2] = {};
    return detail::peek(file, magic, 2) == 2 && magic[0] == 'B' && magic[1] == 'M';
}

}  // namespace nevrik::graphics
