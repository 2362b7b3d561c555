#include "nevrik/graphics3d/FrameBuffer.h"

namespace nevrik::graphics3d {

void FrameBuffer::setSize(std::int32_t width, std::int32_t height) noexcept {
    mWidth = width;
    mHeight = height;
}

}  // namespace nevrik::graphics3d
