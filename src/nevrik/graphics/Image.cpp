#include "nevrik/graphics/Image.h"

#include "nevrik/graphics/PixelFormat.h"

#include <cstdint>
#include <utility>

namespace nevrik::graphics {

namespace {

// Widths whose rows would not fit 32 bits (or are negative) get pitch 0;
// Bitmap refuses to be made that large anyway.
std::int32_t pitchFor(std::uint32_t format, std::int32_t width) noexcept {
    const std::int64_t pitch = std::int64_t{getBytesPerPixel(format)} * width;
    return pitch > 0 && pitch <= INT32_MAX ? static_cast<std::int32_t>(pitch) : 0;
}

}  // namespace

Image::Image(std::uint32_t format, std::int32_t width, std::int32_t height) noexcept
    : mWidth(width), mHeight(height), mPitch(pitchFor(format, width)), mFormat(format) {}

Image::Image(std::uint32_t format, Size size) noexcept : Image(format, size.width, size.height) {}

Image::~Image() {
    // A volume can chain thousands of slices; releasing them by recursion
    // through each destructor could run out of stack.
    object::Pointer<Image> next = std::move(mNext);
    while (next && next->getReferenceCount() == 1) {
        object::Pointer<Image> after = std::move(next->mNext);
        next = std::move(after);
    }
}

}  // namespace nevrik::graphics
