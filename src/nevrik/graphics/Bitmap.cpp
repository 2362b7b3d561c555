#include "nevrik/graphics/Bitmap.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/object/Exception.h"

namespace nevrik::graphics {

Bitmap::Bitmap(std::uint32_t format, std::int32_t width, std::int32_t height) : Image(format, width, height) {
    const std::int64_t bytes = std::int64_t{getBytesPerPixel(format)} * width * height;
    if (width < 0 || height < 0 || bytes > kMaxBytes) {
        throw object::Exception("Bitmap: size out of range");
    }
    if (format == PIXEL_INDEX8) {
        mPalette = object::make<Palette<uchar>>();
    }
    // Cleared so that pixels a file leaves out (a short file, a run-length
    // delta) read the same every time.
    if (bytes > 0) {
        mPixels.reset(new std::uint8_t[static_cast<std::size_t>(bytes)]());
    }
}

Bitmap::Bitmap(std::uint32_t format, Size size) : Bitmap(format, size.width, size.height) {}

std::uint8_t* Bitmap::lock() {
    return mPixels.get();
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
