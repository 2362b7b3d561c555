#pragma once

#include "nevrik/graphics/FilterImage.h"

#include <cstdint>

namespace nevrik::graphics {

/// Nearest-neighbour resampling to a fixed target size. Whole pixels are
/// copied, never blended, so an indexed image stays valid against its copied
/// palette.
///
/// Reference-counted or held by value; one thread at a time.
class FilterResize : public FilterImage {
public:
    FilterResize(std::int32_t width, std::int32_t height) noexcept : mWidth(width), mHeight(height) {}

    /// A new Bitmap of the source's format at the target size, with its only
    /// reference. Null when the pixels cannot be copied whole: bits 16-23 of
    /// the format other than 8, 16, 24, 32, 48 or 64, a format without a pitch
    /// (PIXEL_A32F), a source without pixels, or a target smaller than 1 x 1.
    /// A target width (height) of 1 takes source column (row) 0. Throws
    /// object::Exception when the target is too large for a Bitmap.
    object::Pointer<Image> apply(Image& source) override;

    NEVRIK_CLASS_NAME(FilterImage, ":FilterResize")

    std::int32_t getWidth() const noexcept { return mWidth; }
    std::int32_t getHeight() const noexcept { return mHeight; }

private:
    std::int32_t mWidth;
    std::int32_t mHeight;
};

}  // namespace nevrik::graphics
