#include "nevrik/graphics/FilterResize.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace nevrik::graphics {
namespace {

// Bytes copied per pixel; 0 when whole pixels cannot be copied. Bits 16-23
// of the format decide whether a format can be copied (8 to 64 bits), but the
// pitch rule says how many bytes a pixel has: PIXEL_RGB16 says 16 bits there
// yet has 6 bytes, and PIXEL_A32F says 32 yet has no rows at all.
int copyWidth(std::uint32_t format) noexcept {
    switch ((format >> 16) & 0xFFu) {
        case 8:
        case 16:
        case 24:
        case 32:
        case 48:
        case 64:
            return getBytesPerPixel(format);
        default:
            return 0;
    }
}

// The source step between target columns or rows: (source - 1) / (target - 1)
// in extended precision, rounded to float. A target of 1 has no step.
float stepFor(std::int32_t source, std::int32_t target) noexcept {
    if (target < 2) {
        return 0.0f;
    }
    return static_cast<float>(static_cast<long double>(source - 1) / (target - 1));
}

// Restores the locked flags however apply() leaves.
class LockGuard {
public:
    explicit LockGuard(Image& image) : mImage(image), mPixels(image.lock()) { image.setLocked(true); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;
    ~LockGuard() {
        mImage.unlock();
        mImage.setLocked(false);
    }
    std::uint8_t* pixels() const noexcept { return mPixels; }

private:
    Image& mImage;
    std::uint8_t* mPixels;
};

}  // namespace

object::Pointer<Image> FilterResize::apply(Image& source) {
    const std::uint32_t format = source.getFormat();
    const int bytes = copyWidth(format);
    const std::int32_t sourceWidth = source.getWidth();
    const std::int32_t sourceHeight = source.getHeight();
    if (bytes == 0 || mWidth < 1 || mHeight < 1 || sourceWidth < 1 || sourceHeight < 1 ||
        source.getPitch() != bytes * sourceWidth) {
        return nullptr;
    }
    object::Pointer<Image> target = object::make<Bitmap>(format, mWidth, mHeight);
    if (format == PIXEL_INDEX8) {
        Palette<uchar> palette;
        if (source.getPalette(palette)) {
            target->setPalette(palette);
        }
    }
    const LockGuard from(source);
    const LockGuard to(*target);
    if (from.pixels() == nullptr) {
        return nullptr;
    }

    // Column offsets once per call rather than once per row. The clamp only
    // guards against float rounding past the last column.
    const float sx = stepFor(sourceWidth, mWidth);
    std::vector<std::size_t> columns(static_cast<std::size_t>(mWidth));
    for (std::int32_t j = 0; j < mWidth; ++j) {
        const auto column = static_cast<std::int32_t>(sx * static_cast<float>(j));
        columns[static_cast<std::size_t>(j)] =
            static_cast<std::size_t>(column < sourceWidth ? column : sourceWidth - 1) * bytes;
    }

    const float sy = stepFor(sourceHeight, mHeight);
    const std::size_t sourcePitch = static_cast<std::size_t>(source.getPitch());
    const std::size_t targetPitch = static_cast<std::size_t>(target->getPitch());
    std::int32_t row = 0;
    float e = 0.0f;
    for (std::int32_t i = 0; i < mHeight; ++i) {
        const std::uint8_t* in = from.pixels() + static_cast<std::size_t>(row) * sourcePitch;
        std::uint8_t* out = to.pixels() + static_cast<std::size_t>(i) * targetPitch;
        for (std::int32_t j = 0; j < mWidth; ++j) {
            std::memcpy(out + static_cast<std::size_t>(j) * bytes, in + columns[static_cast<std::size_t>(j)],
                        static_cast<std::size_t>(bytes));
        }
        const float f = sy + e;
        const float whole = std::floor(f);
        e = f - whole;
        row += static_cast<std::int32_t>(whole);
        if (row >= sourceHeight) {
            row = sourceHeight - 1;
        }
    }
    return target;
}

}  // namespace nevrik::graphics
