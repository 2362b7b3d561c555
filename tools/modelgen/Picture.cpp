#include "modelgen/Picture.h"

#include <stdexcept>

namespace nevrik::modelgen {

namespace {

constexpr int kMaxSide = 65535;  // both image formats keep sides in 16 bits

}  // namespace

Picture::Picture(int width, int height) : mWidth(width), mHeight(height) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
        throw std::invalid_argument("Picture: size out of range");
    }
    mPixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
}

std::size_t Picture::offsetOf(int x, int y) const {
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) {
        throw std::out_of_range("Picture: pixel outside the picture");
    }
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(mWidth) + static_cast<std::size_t>(x)) * 4;
}

Picture::Rgba Picture::getPixel(int x, int y) const {
    const std::size_t at = offsetOf(x, y);
    return {mPixels[at], mPixels[at + 1], mPixels[at + 2], mPixels[at + 3]};
}

void Picture::setPixel(int x, int y, Rgba colour) {
    const std::size_t at = offsetOf(x, y);
    for (int i = 0; i < 4; ++i) {
        mPixels[at + i] = colour[i];
    }
}

std::vector<std::uint8_t> Picture::bgrRowsBottomUp(bool withAlpha, int rowAlignment) const {
    const std::size_t channels = withAlpha ? 4 : 3;
    const std::size_t used = channels * static_cast<std::size_t>(mWidth);
    const std::size_t align = static_cast<std::size_t>(rowAlignment);
    const std::size_t stride = (used + align - 1) / align * align;
    std::vector<std::uint8_t> out(stride * static_cast<std::size_t>(mHeight), 0);
    for (int y = 0; y < mHeight; ++y) {
        std::uint8_t* row = out.data() + stride * static_cast<std::size_t>(mHeight - 1 - y);
        for (int x = 0; x < mWidth; ++x) {
            const Rgba p = getPixel(x, y);
            std::uint8_t* px = row + channels * static_cast<std::size_t>(x);
            px[0] = p[2];
            px[1] = p[1];
            px[2] = p[0];
            if (withAlpha) {
                px[3] = p[3];
            }
        }
    }
    return out;
}

}  // namespace nevrik::modelgen
