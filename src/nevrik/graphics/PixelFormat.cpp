#include "nevrik/graphics/PixelFormat.h"

namespace nevrik::graphics {

int getBytesPerPixel(std::uint32_t format) noexcept {
    switch (format) {
        case PIXEL_INDEX8:
        case PIXEL_A8:
            return 1;
        case PIXEL_RGB555:
        case PIXEL_RGB565:
        case PIXEL_A16:
        case PIXEL_LA8:
        case PIXEL_DUDV8:
        case PIXEL_A16F:
            return 2;
        case PIXEL_RGB8:
        case PIXEL_BGR8:
            return 3;
        case PIXEL_RGBA8:
        case PIXEL_BGRA8:
        case 0x00200010u:
        case 0x00200012u:
        case 0x10200018u:
            return 4;
        case 0x00240005u:
            return 5;
        case PIXEL_RGB16:
        case PIXEL_BGR16:
        case PIXEL_RGB16F:
        case 0x10300016u:
            return 6;
        case PIXEL_RGBA16:
        case PIXEL_BGRA16:
        case PIXEL_RGBA16F:
        case 0x10400015u:
            return 8;
        case PIXEL_RGB32F:
        case 0x3060001Cu:
            return 12;
        case PIXEL_RGBA32F:
        case 0x3080001Bu:
            return 16;
        default:
            return 0;
    }
}

ChannelMasks getChannelMasks(std::uint32_t format) noexcept {
    constexpr std::uint64_t k8 = 0xFFu;
    constexpr std::uint64_t k16 = 0xFFFFu;
    switch (format) {
        case PIXEL_A8:
            return {0, 0, 0, k8};
        case PIXEL_RGB555:
            return {0x001Fu, 0x03E0u, 0x7C00u, 0};
        case PIXEL_RGB565:
            return {0xF800u, 0x07E0u, 0x001Fu, 0};
        case PIXEL_A16:
            return {0, 0, 0, k16};
        case PIXEL_RGB8:
            return {k8, k8 << 8, k8 << 16, 0};
        case PIXEL_BGR8:
            return {k8 << 16, k8 << 8, k8, 0};
        case PIXEL_RGBA8:
            return {k8, k8 << 8, k8 << 16, k8 << 24};
        case PIXEL_BGRA8:
            return {k8 << 16, k8 << 8, k8, k8 << 24};
        case PIXEL_RGB16:
            return {k16, k16 << 16, k16 << 32, 0};
        case PIXEL_BGR16:
            return {k16 << 32, k16 << 16, k16, 0};
        case PIXEL_RGBA16:
            return {k16, k16 << 16, k16 << 32, k16 << 48};
        case PIXEL_BGRA16:
            return {k16 << 32, k16 << 16, k16, k16 << 48};
        default:
            return {};
    }
}

bool isCompressed(std::uint32_t format) noexcept {
    return format == PIXEL_DXT1 || format == PIXEL_DXT3 || format == PIXEL_DXT5;
}

std::int64_t getImageBytes(std::uint32_t format, std::int64_t width, std::int64_t height) noexcept {
    if (width < 0 || height < 0) {
        return 0;
    }
    if (isCompressed(format)) {
        const std::int64_t blockBytes = format == PIXEL_DXT1 ? 8 : 16;
        return (width + 3) / 4 * ((height + 3) / 4) * blockBytes;
    }
    return getBytesPerPixel(format) * width * height;
}

}  // namespace nevrik::graphics
