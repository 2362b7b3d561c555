#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/graphics/Palette.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>
#include <vector>

namespace nevrik::graphics {

/// The image that owns its pixels: height x pitch bytes (for the DXT formats,
/// their blocks: getImageBytes), cleared to 0 at construction, and for
/// PIXEL_INDEX8 a palette of its own, all entries 0.
///
/// Reference-counted like every Image. One thread at a time.
class Bitmap : public Image {
public:
    /// Most pixel bytes one bitmap may hold.
    static constexpr std::int64_t kMaxBytes = INT32_MAX;

    /// Throws object::Exception "Bitmap: size out of range" for a negative
    /// width or height or more than kMaxBytes of pixels, and std::bad_alloc
    /// when the memory cannot be had.
    Bitmap(std::uint32_t format, std::int32_t width, std::int32_t height);
    Bitmap(std::uint32_t format, Size size);
    /// Takes over `pixels`, which must be empty (cleared pixels are made) or
    /// hold exactly getImageBytes of the
    /// format and size (else object::Exception "Bitmap: size out of range"):
    /// decoders fill a buffer as their data arrives and make the image last.
    Bitmap(std::uint32_t format, std::int32_t width, std::int32_t height, std::vector<std::uint8_t>&& pixels);

    /// The pixels; null when the bitmap holds none (pitch or height 0).
    std::uint8_t* lock() override;
    void unlock() override;
    bool getPalette(Palette<uchar>& palette) const override;
    bool setPalette(const Palette<uchar>& palette) override;

    NEVRIK_CLASS_NAME(Image, ":Bitmap")

private:
    object::Pointer<Palette<uchar>> mPalette;
    std::vector<std::uint8_t> mPixels;
};

}  // namespace nevrik::graphics
