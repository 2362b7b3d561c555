#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/graphics/ImageTranslator.h"
#include "nevrik/types/String.h"

#include <cstdint>
#include <vector>

namespace nevrik::graphics::detail {
class PixelBuffer;
class StreamReader;
}  // namespace nevrik::graphics::detail

namespace nevrik::graphics {

/// Reads Radiance RGBE pictures ("#?" header, FORMAT=32-bit_rle_rgbe,
/// -Y height +X width) into PIXEL_RGB32F bitmaps, run-length or flat.
///
/// Its probe claims every file, so the graphics TranslatorRoster asks it
/// after all the others. What the header said (program type, gamma,
/// exposure) stays readable until the next read; gamma and exposure are
/// recorded, not applied. One thread at a time.
class TranslatorHDR : public ImageTranslator {
public:
    /// Flag bits: which header items were seen.
    static constexpr std::uint32_t kProgramTypeSeen = 1;
    static constexpr std::uint32_t kGammaGiven = 2;
    static constexpr std::uint32_t kExposureGiven = 4;

    /// Reads no more than `size` bytes (kSizeFromStream: all the stream has
    /// left), never more than it needs from a stream that cannot seek, and
    /// reserves pixels only as scanlines arrive. Throws TranslatorFormatException for a broken header, bad
    /// run-length data or a short file, TranslatorMemoryException when the
    /// picture cannot be made.
    object::Pointer<Image> read(io::InputStream& stream, std::uint32_t size) override;
    /// Not supported: returns false.
    bool write(io::OutputStream& stream, Image& image) override;
    /// Always true: this reader is the roster's last resort.
    bool probe(io::File& file) override;

    NEVRIK_CLASS_NAME(io::Translator<Image>, ":TranslatorHDR")

    const types::String& getProgramType() const noexcept { return mProgramType; }
    float getGamma() const noexcept { return mGamma; }
    float getExposure() const noexcept { return mExposure; }
    std::uint32_t getFlags() const noexcept { return mFlags; }
    std::int32_t getWidth() const noexcept { return mWidth; }
    std::int32_t getHeight() const noexcept { return mHeight; }
    /// What remains of `size` after the last read.
    std::uint64_t getBytesLeft() const noexcept { return mBytesLeft; }

private:
    void readHeader(detail::StreamReader& reader);
    void readPixels(detail::StreamReader& reader, detail::PixelBuffer& pixels);
    void readRunLengthScanline(detail::StreamReader& reader);
    void readFlat(detail::StreamReader& reader, detail::PixelBuffer& pixels, std::int64_t first,
                  std::int64_t count);

    io::InputStream* mStream = nullptr;
    std::uint64_t mBytesLeft = 0;
    types::String mProgramType;
    float mGamma = 1.0f;
    float mExposure = 1.0f;
    std::uint32_t mFlags = 0;
    std::int32_t mWidth = 0;
    std::int32_t mHeight = 0;
    std::vector<std::uint8_t> mScanline;
};

}  // namespace nevrik::graphics
