#include "nevrik/scene3d/GraphicsContext.h"

#include "nevrik/graphics3d/core/FrameBuffer.h"

namespace nevrik::scene3d {

bool GraphicsContext::makeCurrent() {
    if (!mRendering || !mRendering->makeCurrent()) {
        return false;
    }
    graphics3d::FrameBuffer::bindDefault();
    return true;
}

}  // namespace nevrik::scene3d
