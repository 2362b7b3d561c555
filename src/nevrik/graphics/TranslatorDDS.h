#pragma once

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/Image.h"
#include "nevrik/graphics/ImageTranslator.h"
#include "nevrik/graphics/PixelFormat.h"

#include <cstdint>
#include <vector>

namespace nevrik::graphics {

/// Reads DirectDraw surfaces: plain mipmap chains, cube maps and volumes, as
/// one chain of Bitmaps linked by `next`. Pixels come as the Direct3D format
/// codes 20-26, 28, 32, 33, 36, 41 and 50 or the DXT1/3/5 FourCCs name them,
/// else as the pixel-format masks lay them out (formatForMasks); DXT surfaces
/// keep their blocks.
///
/// Held by value in the graphics TranslatorRoster or used alone. The header
/// and the sizes derived from it are kept from the start of one read to the
/// next; one thread at a time.
class TranslatorDDS : public ImageTranslator {
public:
    static constexpr int kHeaderSize = 128;

    /// The head of the chain: the levels of a plain texture; all faces' level
    /// 0 in the order +X, -X, +Y, -Y, +Z, -Z, then all faces' level 1, and so
    /// on, for a cube map; every slice of every level for a volume. A mipmap
    /// count beyond the levels the size allows stops at the 1 x 1 level.
    /// Throws TranslatorFormatException for a bad header, masks no format
    /// describes, a cube map without faces, a chain above the memory limit
    /// or more surface bytes than `size` holds after the header, and
    /// TranslatorMemoryException when a surface cannot be made.
    object::Pointer<Image> read(io::InputStream& stream, std::uint32_t size) override;
    /// Not supported: returns false.
    bool write(io::OutputStream& stream, Image& image) override;
    /// The file starts with "DDS ".
    bool probe(io::File& file) override;

    NEVRIK_CLASS_NAME(io::Translator<Image>, ":TranslatorDDS")

    std::int64_t getWidth() const noexcept { return mWidth; }
    std::int64_t getHeight() const noexcept { return mHeight; }
    std::int64_t getDepth() const noexcept { return mDepth; }
    std::int64_t getMipmapCount() const noexcept { return mMipmapCount; }
    std::uint32_t getFormat() const noexcept { return mFormat; }

private:
    object::Pointer<Image> readCube(std::uint32_t faces);
    object::Pointer<Image> readVolume();
    std::vector<object::Pointer<Bitmap>> readChain();
    object::Pointer<Bitmap> readSurface(std::int64_t width, std::int64_t height);
    void chooseFormat();
    std::int64_t storedBytes(std::int64_t width, std::int64_t height) const noexcept;
    std::uint32_t getField(int offset) const noexcept;

    io::InputStream* mStream = nullptr;
    std::uint8_t mHeader[kHeaderSize] = {};
    std::int64_t mWidth = 0;
    std::int64_t mHeight = 0;
    std::int64_t mDepth = 1;
    std::int64_t mMipmapCount = 1;
    std::uint32_t mFormat = 0;
    // Bits per pixel and channel masks of the file's pixels when they are
    // converted into mFormat; 0 when they are stored as they are.
    int mFileBits = 0;
    ChannelMasks mMasks;
};

}  // namespace nevrik::graphics
