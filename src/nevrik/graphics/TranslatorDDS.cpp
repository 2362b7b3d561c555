#include "nevrik/graphics/TranslatorDDS.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics/detail/Decoding.h"
#include "nevrik/io/TranslatorFormatException.h"

#include <algorithm>
#include <vector>

namespace nevrik::graphics {
namespace {

constexpr std::uint32_t kMagic = 0x20534444u;  // "DDS "
constexpr std::uint32_t kRequiredFlags = 0x1u | 0x2u | 0x4u | 0x1000u;
constexpr std::uint32_t kMipmapCountFlag = 0x20000u;
constexpr std::uint32_t kDepthFlag = 0x800000u;
constexpr std::uint32_t kComplexCaps = 0x8u;
constexpr std::uint32_t kCubeCaps = 0x200u;
constexpr std::uint32_t kVolumeCaps = 0x200000u;
constexpr std::uint32_t kFaces[] = {0x400u, 0x800u, 0x1000u, 0x2000u, 0x4000u, 0x8000u};
// Every surface costs a Bitmap and, when indexed, a palette besides its pixels.
constexpr std::int64_t kSurfaceOverhead = 2048;

constexpr std::uint32_t fourCC(char a, char b, char c, char d) noexcept {
    return std::uint32_t(std::uint8_t(a)) | std::uint32_t(std::uint8_t(b)) << 8 |
           std::uint32_t(std::uint8_t(c)) << 16 | std::uint32_t(std::uint8_t(d)) << 24;
}

std::uint32_t formatFor(std::uint32_t code, std::uint32_t bitCount) {
    switch (code) {
        case 20:
            return PIXEL_BGR8;
        case 21:
        case 22:
            return PIXEL_BGRA8;
        case 23:
            return PIXEL_RGB565;
        case 24:
            return PIXEL_RGB555;
        case 36:
            return PIXEL_BGRA16;
        case 41:
            return PIXEL_INDEX8;
        case fourCC('D', 'X', 'T', '1'):
            return PIXEL_DXT1;
        case fourCC('D', 'X', 'T', '3'):
            return PIXEL_DXT3;
        case fourCC('D', 'X', 'T', '5'):
            return PIXEL_DXT5;
        default:
            break;
    }
    if (bitCount != 16 && bitCount != 24 && bitCount != 32) {
        throw io::TranslatorFormatException();
    }
    return detail::formatForBits(static_cast<int>(bitCount), PIXEL_RGB565);
}

std::int64_t halve(std::int64_t size) noexcept {
    return size >= 2 ? size / 2 : size;
}

// Levels down to 1 x 1 (x 1): one more than the halvings of the largest side.
std::int64_t levelsFor(std::int64_t largest) noexcept {
    std::int64_t levels = 1;
    for (; largest >= 2; largest /= 2) {
        ++levels;
    }
    return levels;
}

// Links `surfaces` in order and returns the head.
object::Pointer<Image> link(const std::vector<object::Pointer<Bitmap>>& surfaces) {
    for (std::size_t i = 1; i < surfaces.size(); ++i) {
        surfaces[i - 1]->setNext(surfaces[i].get());
    }
    return surfaces.empty() ? nullptr : surfaces.front();
}

}  // namespace

object::Pointer<Image> TranslatorDDS::read(io::InputStream& stream, std::uint32_t) {
    mStream = &stream;
    detail::readExactly(stream, mHeader, kHeaderSize);
    const std::uint32_t flags = getField(8);
    if (getField(0) != kMagic || (flags & kRequiredFlags) != kRequiredFlags) {
        throw io::TranslatorFormatException();
    }
    mHeight = getField(12);
    mWidth = getField(16);
    mDepth = (flags & kDepthFlag) != 0 && getField(24) != 0 ? getField(24) : 1;
    mMipmapCount = (flags & kMipmapCountFlag) != 0 && getField(28) != 0 ? getField(28) : 1;
    mFormat = formatFor(getField(84), getField(88));

    const std::uint32_t caps = getField(108);
    const std::uint32_t caps2 = getField(112);
    const bool cube = (caps & kComplexCaps) != 0 && (caps2 & kCubeCaps) != 0;
    const bool volume = !cube && (caps & kComplexCaps) != 0 && (caps2 & kVolumeCaps) != 0;
    // Only a volume has slices; the depth of anything else is never read.
    const std::int64_t slices = volume ? mDepth : 1;
    if (slices > detail::kMaxDimension) {
        throw io::TranslatorFormatException();
    }
    detail::checkSize(mFormat, mWidth, mHeight, slices);
    mMipmapCount = std::min(mMipmapCount, levelsFor(std::max({mWidth, mHeight, slices})));

    std::int64_t faces = 1;
    if (cube) {
        faces = std::count_if(std::begin(kFaces), std::end(kFaces),
                              [&](std::uint32_t face) { return (caps2 & face) != 0; });
        if (faces == 0) {
            throw io::TranslatorFormatException();
        }
    }
    // The whole chain must fit the budget before the first surface is made.
    std::int64_t bytes = 0;
    for (std::int64_t level = 0, w = mWidth, h = mHeight, d = slices; level < mMipmapCount; ++level) {
        bytes += faces * d * (getBytesPerPixel(mFormat) * w * h + kSurfaceOverhead);
        w = halve(w);
        h = halve(h);
        d = halve(d);
    }
    if (bytes > detail::kMaxImageBytes) {
        throw io::TranslatorFormatException();
    }

    object::Pointer<Image> head = cube ? readCube(caps2) : volume ? readVolume() : link(readChain());
    mStream = nullptr;
    return head;
}

object::Pointer<Image> TranslatorDDS::readCube(std::uint32_t faces) {
    // The file holds each face's whole chain in turn; the result runs level by level.
    std::vector<std::vector<object::Pointer<Bitmap>>> chains;
    for (const std::uint32_t face : kFaces) {
        if ((faces & face) == 0) {
            continue;
        }
        chains.push_back(readChain());
    }
    std::vector<object::Pointer<Bitmap>> surfaces;
    for (std::int64_t level = 0; level < mMipmapCount; ++level) {
        for (const auto& chain : chains) {
            surfaces.push_back(chain[static_cast<std::size_t>(level)]);
        }
    }
    return link(surfaces);
}

object::Pointer<Image> TranslatorDDS::readVolume() {
    std::vector<object::Pointer<Bitmap>> surfaces;
    for (std::int64_t level = 0, w = mWidth, h = mHeight, d = mDepth; level < mMipmapCount; ++level) {
        for (std::int64_t slice = 0; slice < d; ++slice) {
            surfaces.push_back(readSurface(w, h));
        }
        w = halve(w);
        h = halve(h);
        d = halve(d);
    }
    return link(surfaces);
}

std::vector<object::Pointer<Bitmap>> TranslatorDDS::readChain() {
    std::vector<object::Pointer<Bitmap>> surfaces;
    for (std::int64_t level = 0, w = mWidth, h = mHeight; level < mMipmapCount; ++level) {
        surfaces.push_back(readSurface(w, h));
        w = halve(w);
        h = halve(h);
    }
    return surfaces;
}

object::Pointer<Bitmap> TranslatorDDS::readSurface(std::int64_t width, std::int64_t height) {
    object::Pointer<Bitmap> surface = detail::createBitmap(mFormat, width, height);
    const std::int64_t bytes = std::int64_t{surface->getPitch()} * height;
    // Short files leave the rest of the surface as it is: counts are not checked here.
    if (bytes > 0) {
        detail::readFully(*mStream, surface->lock(), static_cast<std::int32_t>(bytes));
        surface->unlock();
    }
    return surface;
}

std::uint32_t TranslatorDDS::getField(int offset) const noexcept {
    return detail::readU32(mHeader + offset);
}

bool TranslatorDDS::write(io::OutputStream&, Image&) {
    return false;
}

bool TranslatorDDS::probe(io::File& file) {
    std::uint8_t magic[4] = {};
    return detail::peek(file, magic, 4) == 4 && detail::readU32(magic) == kMagic;
}

}  // namespace nevrik::graphics
