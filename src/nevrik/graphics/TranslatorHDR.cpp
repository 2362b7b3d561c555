#include "nevrik/graphics/TranslatorHDR.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics/detail/Decoding.h"
#include "nevrik/graphics/detail/PixelBuffer.h"
#include "nevrik/graphics/detail/StreamReader.h"
#include "nevrik/io/TranslatorFormatException.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace nevrik::graphics {
namespace {

constexpr std::int32_t kSmallestRunLengthWidth = 8;
constexpr std::int32_t kLargestRunLengthWidth = 32767;
constexpr std::size_t kPixelBytes = 3 * sizeof(float);

// One RGBE pixel as three floats; exponent 0 is black.
void store(std::uint8_t* out, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
           std::uint8_t exponent) noexcept {
    float rgb[3] = {0.0f, 0.0f, 0.0f};
    if (exponent != 0) {
        const float f = std::ldexp(1.0f, exponent - 136);
        rgb[0] = static_cast<float>(red) * f;
        rgb[1] = static_cast<float>(green) * f;
        rgb[2] = static_cast<float>(blue) * f;
    }
    std::memcpy(out, rgb, kPixelBytes);
}

// One header line without its end (a line feed, a carriage return, or both);
// empty at the end of the data.
types::String readLine(detail::StreamReader& reader) {
    std::string line;
    for (int byte = reader.get(); byte >= 0 && byte != '\n'; byte = reader.get()) {
        line.push_back(static_cast<char>(byte));
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return types::String(line.data(), line.size());
}

}  // namespace

object::Pointer<Image> TranslatorHDR::read(io::InputStream& stream, std::uint32_t size) {
    mStream = &stream;
    mBytesLeft = detail::resolveSize(stream, size);
    mProgramType = "";
    mGamma = 1.0f;
    mExposure = 1.0f;
    mFlags = 0;
    mWidth = 0;
    mHeight = 0;
    // One reader for header and pixels: nothing read ahead is ever put back,
    // so streams that cannot seek backwards read the same.
    detail::StreamReader reader(stream, mBytesLeft);
    readHeader(reader);

    detail::PixelBuffer pixels(PIXEL_RGB32F, mWidth, mHeight, getMemoryLimit());
    mScanline = detail::allocate(4 * static_cast<std::size_t>(mWidth));
    readPixels(reader, pixels);
    mBytesLeft = reader.getLeft();
    mStream = nullptr;
    return pixels.finish();
}

void TranslatorHDR::readHeader(detail::StreamReader& reader) {
    const types::String first = readLine(reader);
    if (first[0] != '#' || first[1] != '?') {
        throw io::TranslatorFormatException();
    }
    mProgramType = first.substring(2);
    mFlags |= kProgramTypeSeen;
    for (;;) {
        const types::String line = readLine(reader);
        if (line == "FORMAT=32-bit_rle_rgbe") {
            break;
        }
        if (line.isEmpty()) {
            throw io::TranslatorFormatException("TranslatorHDR: No FORMAT specifier found");
        }
        float value = 0.0f;
        if (std::sscanf(line.c_str(), "GAMMA=%g", &value) == 1) {
            mGamma = value;
            mFlags |= kGammaGiven;
        } else if (std::sscanf(line.c_str(), "EXPOSURE=%g", &value) == 1) {
            mExposure = value;
            mFlags |= kExposureGiven;
        }
    }
    if (!readLine(reader).isEmpty()) {
        throw io::TranslatorFormatException("TranslatorHDR: Missing blank line after FORMAT specifier");
    }
    if (std::sscanf(readLine(reader).c_str(), "-Y %d +X %d", &mHeight, &mWidth) != 2) {
        throw io::TranslatorFormatException("TranslatorHDR: Missing image size specifier");
    }
}

void TranslatorHDR::readPixels(detail::StreamReader& reader, detail::PixelBuffer& pixels) {
    const std::int64_t width = mWidth;
    const std::int64_t total = width * mHeight;
    if (mWidth < kSmallestRunLengthWidth || mWidth > kLargestRunLengthWidth) {
        readFlat(reader, pixels, 0, total);
        return;
    }
    for (std::int64_t y = 0; y < mHeight; ++y) {
        std::uint8_t head[4];
        reader.readExactly(head, 4);
        std::uint8_t* row = pixels.reach((y + 1) * width * kPixelBytes) + y * width * kPixelBytes;
        if (head[0] != 2 || head[1] != 2 || head[2] >= 128) {
            // An old-style file: these four bytes were the first flat pixel.
            store(row, head[0], head[1], head[2], head[3]);
            readFlat(reader, pixels, y * width + 1, total - y * width - 1);
            return;
        }
        if ((head[2] << 8 | head[3]) != mWidth) {
            throw io::TranslatorFormatException("TranslatorHDR: Wrong scanline width");
        }
        readRunLengthScanline(reader);
        const std::uint8_t* planes = mScanline.data();
        for (std::int64_t x = 0; x < width; ++x) {
            store(row + x * kPixelBytes, planes[x], planes[width + x], planes[2 * width + x],
                  planes[3 * width + x]);
        }
    }
}

void TranslatorHDR::readRunLengthScanline(detail::StreamReader& reader) {
    const std::size_t width = static_cast<std::size_t>(mWidth);
    for (std::size_t plane = 0; plane < 4; ++plane) {
        std::uint8_t* component = mScanline.data() + plane * width;
        for (std::size_t x = 0; x < width;) {
            const std::uint8_t count = reader.getExactly();
            const std::uint8_t value = reader.getExactly();
            const std::size_t length = count > 128 ? count - 128u : count;
            if (count == 0 || length > width - x) {
                throw io::TranslatorFormatException("TranslatorHDR: Bad scanline data");
            }
            if (count > 128) {
                std::fill_n(component + x, length, value);
            } else {
                component[x] = value;
                reader.readExactly(component + x + 1, length - 1);
            }
            x += length;
        }
    }
}

void TranslatorHDR::readFlat(detail::StreamReader& reader, detail::PixelBuffer& pixels, std::int64_t first,
                             std::int64_t count) {
    while (count > 0) {
        const std::int64_t chunk = std::min<std::int64_t>(count, mWidth);
        reader.readExactly(mScanline.data(), static_cast<std::size_t>(chunk) * 4);
        std::uint8_t* out = pixels.reach((first + chunk) * kPixelBytes) + first * kPixelBytes;
        for (std::int64_t i = 0; i < chunk; ++i) {
            const std::uint8_t* rgbe = mScanline.data() + i * 4;
            store(out + i * kPixelBytes, rgbe[0], rgbe[1], rgbe[2], rgbe[3]);
        }
        first += chunk;
        count -= chunk;
    }
}

bool TranslatorHDR::write(io::OutputStream&, Image&) {
    return false;
}

bool TranslatorHDR::probe(io::File&) {
    return true;
}

}  // namespace nevrik::graphics
