#include "nevrik/graphics/TranslatorDDS.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics/detail/ChannelConversion.h"
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

constexpr std::uint32_t kAlphaPixels = 0x1u;
constexpr std::uint32_t kAlphaOnly = 0x2u;
constexpr std::uint32_t kLuminance = 0x20000u;

// How the pixels of one FourCC or Direct3D format code are laid out.
struct Layout {
    std::uint32_t code;
    int bits;
    ChannelMasks masks;
};

constexpr std::uint64_t k8 = 0xFFu;
constexpr Layout kLayouts[] = {
    {20, 24, {k8 << 16, k8 << 8, k8, 0}},                                  // R8G8B8
    {21, 32, {k8 << 16, k8 << 8, k8, k8 << 24}},                           // A8R8G8B8
    {22, 32, {k8 << 16, k8 << 8, k8, 0}},                                  // X8R8G8B8
    {23, 16, {0xF800u, 0x07E0u, 0x001Fu, 0}},                              // R5G6B5
    {24, 16, {0x7C00u, 0x03E0u, 0x001Fu, 0}},                              // X1R5G5B5
    {25, 16, {0x7C00u, 0x03E0u, 0x001Fu, 0x8000u}},                        // A1R5G5B5
    {26, 16, {0x0F00u, 0x00F0u, 0x000Fu, 0xF000u}},                        // A4R4G4B4
    {28, 8, {0, 0, 0, k8}},                                                // A8
    {32, 32, {k8, k8 << 8, k8 << 16, k8 << 24}},                           // A8B8G8R8
    {33, 32, {k8, k8 << 8, k8 << 16, 0}},                                  // X8B8G8R8
    {36, 64, {0xFFFFu, 0xFFFFu << 16, 0xFFFFull << 32, 0xFFFFull << 48}},  // A16B16G16R16
    {50, 8, {k8, k8, k8, 0}},                                              // L8
};

// Formats stored as they are: compressed blocks, palette indices, and the
// layouts no mask describes.
std::uint32_t storedFormatFor(std::uint32_t code) noexcept {
    switch (code) {
        case 41:
            return PIXEL_INDEX8;
        case fourCC('D', 'X', 'T', '1'):
            return PIXEL_DXT1;
        case fourCC('D', 'X', 'T', '3'):
            return PIXEL_DXT3;
        case fourCC('D', 'X', 'T', '5'):
            return PIXEL_DXT5;
        default:
            return 0;
    }
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

object::Pointer<Image> TranslatorDDS::read(io::InputStream& stream, std::uint32_t size) {
    mStream = &stream;
    size = detail::resolveSize(stream, size);
    detail::readExactly(stream, mHeader, kHeaderSize);
    const std::uint32_t flags = getField(8);
    if (getField(0) != kMagic || (flags & kRequiredFlags) != kRequiredFlags) {
        throw io::TranslatorFormatException();
    }
    mHeight = getField(12);
    mWidth = getField(16);
    mDepth = (flags & kDepthFlag) != 0 && getField(24) != 0 ? getField(24) : 1;
    mMipmapCount = (flags & kMipmapCountFlag) != 0 && getField(28) != 0 ? getField(28) : 1;
    chooseFormat();

    const std::uint32_t caps = getField(108);
    const std::uint32_t caps2 = getField(112);
    const bool cube = (caps & kComplexCaps) != 0 && (caps2 & kCubeCaps) != 0;
    const bool volume = !cube && (caps & kComplexCaps) != 0 && (caps2 & kVolumeCaps) != 0;
    // Only a volume has slices; the depth of anything else is never read.
    const std::int64_t slices = volume ? mDepth : 1;
    if (slices > detail::kMaxDimension) {
        throw io::TranslatorFormatException();
    }
    detail::checkSize(mFormat, mWidth, mHeight, getMemoryLimit(), slices);
    mMipmapCount = std::min(mMipmapCount, levelsFor(std::max({mWidth, mHeight, slices})));

    std::int64_t faces = 1;
    if (cube) {
        faces = std::count_if(std::begin(kFaces), std::end(kFaces),
                              [&](std::uint32_t face) { return (caps2 & face) != 0; });
        if (faces == 0) {
            throw io::TranslatorFormatException();
        }
    }
    // The whole chain must fit the limit, and the file must hold it, before
    // the first surface is made.
    std::int64_t bytes = 0;
    std::int64_t stored = 0;
    for (std::int64_t level = 0, w = mWidth, h = mHeight, d = slices; level < mMipmapCount; ++level) {
        bytes += faces * d * (getImageBytes(mFormat, w, h) + kSurfaceOverhead);
        stored += faces * d * storedBytes(w, h);
        w = halve(w);
        h = halve(h);
        d = halve(d);
    }
    if (bytes > getMemoryLimit()) {
        throw io::TranslatorFormatException();
    }
    detail::requireInput(stored, std::int64_t{size} - kHeaderSize);

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

void TranslatorDDS::chooseFormat() {
    const std::uint32_t code = getField(84);
    mFileBits = 0;
    mFormat = storedFormatFor(code);
    if (mFormat != 0) {
        return;
    }
    for (const Layout& layout : kLayouts) {
        if (layout.code == code) {
            mFileBits = layout.bits;
            mMasks = layout.masks;
            mFormat = layout.bits == 64 ? PIXEL_RGBA16 : detail::formatForMasks(mFileBits, mMasks);
            return;
        }
    }
    // No known code: the masks say what the pixels are.
    const std::uint32_t flags = getField(80);
    mFileBits = static_cast<int>(getField(88));
    mMasks = ChannelMasks{getField(92), getField(96), getField(100),
                          (flags & (kAlphaPixels | kAlphaOnly)) != 0 ? getField(104) : 0};
    if ((flags & kLuminance) != 0) {
        mMasks.green = mMasks.blue = mMasks.red;
    }
    if (mMasks == ChannelMasks{}) {
        // Writers that leave the masks out mean the usual layout of their size.
        const std::uint32_t sized[] = {0, 0, PIXEL_RGB565, PIXEL_BGR8, PIXEL_BGRA8};
        mFormat = mFileBits % 8 == 0 && mFileBits >= 16 && mFileBits <= 32 ? sized[mFileBits / 8] : 0;
        if (mFormat == 0) {
            throw io::TranslatorFormatException();
        }
        mMasks = getChannelMasks(mFormat);
        return;
    }
    mFormat = detail::formatForMasks(mFileBits, mMasks);
}

std::int64_t TranslatorDDS::storedBytes(std::int64_t width, std::int64_t height) const noexcept {
    return mFileBits != 0 ? width * height * (mFileBits / 8) : getImageBytes(mFormat, width, height);
}

object::Pointer<Bitmap> TranslatorDDS::readSurface(std::int64_t width, std::int64_t height) {
    object::Pointer<Bitmap> surface = detail::createBitmap(mFormat, width, height, getMemoryLimit());
    const std::int64_t bytes = storedBytes(width, height);
    if (bytes > 0) {
        const std::vector<std::uint8_t> data = detail::readUpTo(*mStream, static_cast<std::uint32_t>(bytes));
        detail::requireInput(bytes, static_cast<std::int64_t>(data.size()));
        if (mFileBits != 0) {
            detail::convertMasked(data.data(), mFileBits, mMasks, surface->lock(), mFormat, width * height);
        } else {
            std::copy(data.begin(), data.end(), surface->lock());
        }
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
