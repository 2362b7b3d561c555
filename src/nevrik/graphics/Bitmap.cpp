#include "nevrik/graphics/Bitmap.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/object/Exception.h"

#include <utility>

namespace nevrik::graphics {

namespace {

std::int64_t checkedBytes(std::uint32_t format, std::int32_t width, std::int32_t height) {
    const std::int64_t bytes = getImageBytes(format, width, height);
    if (width < 0 || height < 0 || bytes > Bitmap::kMaxBytes) {
        throw object::Exception("Bitmap: size out of range");
    }
    return bytes;
}

}  // namespace

Bitmap::Bitmap(std::uint32_t format, std::int32_t width, std::int32_t height)
    : Bitmap(format, width, height, std::vector<std::uint8_t>()) {}

Bitmap::Bitmap(std::uint32_t format, Size size) : Bitmap(format, size.width, size.height) {}

Bitmap::Bitmap(std::uint32_t format, std::int32_t width, std::int32_t height,
               std::vector<std::uint8_t>&& pixels)
    : Image(format, width, height) {
    const std::int64_t bytes = checkedBytes(format, width, height);
    if (!pixels.empty() && static_cast<std::int64_t>(pixels.size()) != bytes) {
        throw object::Exception("Bitmap: size out of range");
    }
    if (format == PIXEL_INDEX8) {
        mPalette = object::make<Palette<uchar>>();
    }
    // Cleared so that pixels a file leaves out (a run-length delta) read the
    // same every time.
    mPixels = std::move(pixels);
    mPixels.resize(static_cast<std::size_t>(bytes));
}

std::uint8_t* Bitmap::lock() {
    return mPixels.empty() ? nullptr : mPixels.data();
}

void Bitmap::unlock() {}

bool Bitmap::getPalette(Palette<uchar>& palette) const {
    if (!mPalette) {
        return false;
    }
    palette = *mPalette;
    return true;
}

bool Bitmap::setPalette(const Palette<uchar>& palette) {
    if (!mPalette) {
        return false;
    }
    *mPalette = palette;
    return true;
}

}  // namespace nevrik::graphics
