#include "nevrik/graphics3d/core/PerspectiveCamera.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {

void PerspectiveCamera::apply() {
    const float depth = mFar - mNear;
    const float elements[16] = {
        2.0f * mDistance / mWidth,
        0.0f,
        (2.0f * mLeft + mWidth) / mWidth,
        0.0f,
        0.0f,
        2.0f * mDistance / mHeight,
        (2.0f * mBottom + mHeight) / mHeight,
        0.0f,
        0.0f,
        0.0f,
        -(mFar + mNear) / depth,
        -2.0f * mFar * mNear / depth,
        0.0f,
        0.0f,
        -1.0f,
        0.0f,
    };
    mMatrix = math::Matrix4<float>(elements);
    GLint mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glMatrixMode(GL_PROJECTION);
    glLoadTransposeMatrixf(elements);
    glMatrixMode(static_cast<GLenum>(mode));
}

geometry::Ray PerspectiveCamera::eyeRay(float x, float y) const {
    // The window point as apply()'s projection places it: x = -1 at the left
    // edge, y = -1 at the top edge (bottom + height), at `distance`.
    const math::Vector3<float> direction((x + 1.0f) * mWidth * 0.5f + mLeft,
                                         (1.0f - y) * mHeight * 0.5f + mBottom, -mDistance);
    return geometry::Ray(math::Vector3<float>(0.0f, 0.0f, 0.0f), direction);
}

bool PerspectiveCamera::setWindow(float left, float bottom, float width, float height) noexcept {
    if (!(width > 0.0f && height > 0.0f)) {
        return false;
    }
    mLeft = left;
    mBottom = bottom;
    mWidth = width;
    mHeight = height;
    return true;
}

bool PerspectiveCamera::setClipping(float nearDistance, float farDistance) noexcept {
    if (nearDistance == farDistance) {
        return false;
    }
    mNear = nearDistance;
    mFar = farDistance;
    return true;
}

}  // namespace nevrik::graphics3d
