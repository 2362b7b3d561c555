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

}  // namespace nevrik::graphics
