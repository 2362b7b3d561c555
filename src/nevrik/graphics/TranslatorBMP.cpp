#include "nevrik/graphics/TranslatorBMP.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics/detail/Decoding.h"
#include "nevrik/io/TranslatorFormatException.h"

#include <algorithm>
#include <cstring>
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

// The pixels of one decoded picture and where run-length data writes next.
class Canvas {
public:
    Canvas(Image& image, std::int64_t rows) noexcept
        : mPixels(image.lock()), mPitch(image.getPitch()), mWidth(image.getWidth()), mY(rows - 1) {}

    std::uint8_t* row(std::int64_t y) const noexcept { return mPixels + y * mPitch; }

    bool done() const noexcept { return mY < 0; }
    void endLine() noexcept {
        mX = 0;
        --mY;
    }
    void move(int dx, int dy) noexcept {
        mX += dx;
        mY -= dy;
    }
    // Writes `count` pixels from `pixel(k)`, dropping those past the row end.
    template <class Pixel>
    void put(std::int64_t count, Pixel pixel) noexcept {
        const std::int64_t fits = std::clamp<std::int64_t>(mWidth - mX, 0, count);
        for (std::int64_t k = 0; k < fits; ++k) {
            row(mY)[mX + k] = pixel(k);
        }
        mX += count;
    }

private:
    std::uint8_t* mPixels;
    std::int64_t mPitch;
    std::int64_t mWidth;
    std::int64_t mX = 0;
    std::int64_t mY;
};

// RLE8 and RLE4 share the escape codes; only how a byte becomes pixels differs.
void decodeRunLength(const std::vector<std::uint8_t>& data, Canvas& canvas, bool nibbles) {
    const std::size_t size = data.size();
    std::size_t i = 0;
    while (i + 1 < size && !canvas.done()) {
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
                    return;
                }
                canvas.move(data[i], data[i + 1]);
                i += 2;
                break;
            default: {
                // An absolute run: `value` pixels, padded to an even byte count.
                const std::size_t bytes = nibbles ? (value + 1u) / 2u : value;
                const std::size_t present = std::min(bytes, size - i);
                const std::uint8_t* run = data.data() + i;
                const auto pixels =
                    static_cast<std::int64_t>(nibbles ? std::min<std::size_t>(value, 2 * present) : present);
                canvas.put(pixels, [&](std::int64_t k) -> std::uint8_t {
                    return nibbles ? ((k & 1) != 0 ? run[k / 2] & 0x0F : run[k / 2] >> 4) : run[k];
                });
                i += (bytes + 1) & ~std::size_t{1};
                break;
            }
        }
    }
}

// One file row, `stride` bytes, into one memory row of `width` pixels.
void convertRow(const std::uint8_t* in, std::uint8_t* out, std::int64_t width, int bitCount,
                std::int64_t pitch) {
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
        default:
            std::memcpy(out, in, static_cast<std::size_t>(pitch));
            break;
    }
}

void decodeRows(const std::vector<std::uint8_t>& data, Image& image, std::int64_t rows, int bitCount,
                bool topDown) {
    const std::int64_t width = image.getWidth();
    const std::int64_t pitch = image.getPitch();
    // 15-bit pixels are stored as whole 16-bit words.
    const std::int64_t storedBits = bitCount == 15 ? 16 : bitCount;
    const std::int64_t stride = (width * storedBits + 31) / 32 * 4;
    const auto size = static_cast<std::int64_t>(data.size());
    std::uint8_t* pixels = image.lock();
    std::vector<std::uint8_t> partial;
    for (std::int64_t r = 0; r < rows && r * stride < size; ++r) {
        const std::uint8_t* in = data.data() + r * stride;
        if (size - r * stride < stride) {
            // The file ends inside this row: what is missing reads as 0.
            partial.assign(in, data.data() + size);
            partial.resize(static_cast<std::size_t>(stride));
            in = partial.data();
        }
        const std::int64_t y = topDown ? r : rows - 1 - r;
        convertRow(in, pixels + y * pitch, width, bitCount, pitch);
    }
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
    const int bitCount = detail::readU16(info + 14);
    const std::uint32_t compression = infoSize >= kFullInfo ? detail::readU32(info + 16) : 0;
    const std::uint32_t coloursUsed = infoSize >= kFullInfo ? detail::readU32(info + 32) : 0;

    // Uncompressed 16-bit rows hold 5 bits per colour; the 5-6-5 layout comes
    // only with bit fields, which are refused.
    const std::uint32_t format = detail::formatForBits(bitCount, PIXEL_RGB555);
    const bool topDown = height < 0;
    const std::int64_t rows = topDown ? -std::int64_t{height} : height;
    if (compression != 0 ? topDown || (bitCount != 4 && bitCount != 8) : bitCount == 2 || bitCount == 32) {
        throw io::TranslatorFormatException();
    }
    const object::Pointer<Bitmap> image = detail::createBitmap(format, width, rows);

    // The palette follows the whole info header, however long, and ends where
    // the pixels begin at the latest.
    std::int64_t consumed = kFileHeaderSize + std::int64_t{kept};
    consumed += detail::skipForward(stream, infoSize - kept);
    if (offset < consumed) {
        throw io::TranslatorFormatException();
    }
    if (bitCount <= 8) {
        const std::int64_t entries = coloursUsed != 0 ? coloursUsed : 1 << bitCount;
        const std::int64_t stored =
            std::min({entries, std::int64_t{Palette<uchar>::kSize}, (offset - consumed) / 4});
        std::uint8_t quads[Palette<uchar>::kSize * 4] = {};
        consumed += detail::readFully(stream, quads, static_cast<std::int32_t>(stored * 4));
        Palette<uchar> palette;
        for (std::int64_t i = 0; i < stored; ++i) {
            const std::uint8_t* quad = quads + i * 4;
            palette.setEntry(static_cast<int>(i), quad[2], quad[1], quad[0], 0);
        }
        image->setPalette(palette);
    }
    // Palette entries past 256 and any gap before the pixels.
    detail::skipForward(stream, static_cast<std::uint32_t>(offset - consumed));
    const std::vector<std::uint8_t> data = detail::readUpTo(stream, size > offset ? size - offset : 0);

    if (compression != 0) {
        Canvas canvas(*image, rows);
        decodeRunLength(data, canvas, bitCount == 4);
    } else {
        decodeRows(data, *image, rows, bitCount, topDown);
    }
    image->unlock();
    return image;
}

bool TranslatorBMP::write(io::OutputStream&, Image&) {
    return false;
}

bool TranslatorBMP::probe(io::File& file) {
    std::uint8_t magic[2] = {};
    return detail::peek(file, magic, 2) == 2 && magic[0] == 'B' && magic[1] == 'M';
}

}  // namespace nevrik::graphics
