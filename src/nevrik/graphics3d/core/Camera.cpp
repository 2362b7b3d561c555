#include "nevrik/graphics3d/core/Camera.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>

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

bool PerspectiveCamera::setFieldOfView(float verticalDegrees, float aspect) noexcept {
    if (!(verticalDegrees > 0.0f && verticalDegrees < 180.0f && aspect > 0.0f)) {
        return false;
    }
    const float height = 2.0f * std::tan(verticalDegrees * 3.14159265358979f / 360.0f);
    const float width = height * aspect;
    mDistance = 1.0f;
    return setWindow(-0.5f * width, -0.5f * height, width, height);
}

bool PerspectiveCamera::lookAt(const math::Vector3<float>& eye, const math::Vector3<float>& target,
                               const math::Vector3<float>& up) noexcept {
    math::Vector3<float> back = eye - target;
    math::Vector3<float> right = up.cross(back);
    if (!(back.squaredLength() > 0.0f && right.squaredLength() > 0.0f)) {
        return false;
    }
    back.normalise();
    right.normalise();
    const math::Vector3<float> upward = back.cross(right);
    const float elements[16] = {
        right.x,  right.y,  right.z,  -right.dot(eye),   //
        upward.x, upward.y, upward.z, -upward.dot(eye),  //
        back.x,   back.y,   back.z,   -back.dot(eye),    //
        0.0f,     0.0f,     0.0f,     1.0f,
    };
    mView = math::Matrix4<float>(elements);
    return true;
}

bool PerspectiveCamera::frame(const geometry::BoundingBox<float>& box, const math::Vector3<float>& direction,
                              const math::Vector3<float>& up) noexcept {
    // The tangent of the narrowest half-angle from the centre line to the
    // window's edges; the box's bounding sphere fits inside that cone.
    const float tangent =
        std::min(std::min(-mLeft, mLeft + mWidth), std::min(-mBottom, mBottom + mHeight)) / mDistance;
    const float radius = 0.5f * (box.max - box.min).length();
    math::Vector3<float> line = direction;
    if (!(tangent > 0.0f && radius > 0.0f && line.squaredLength() > 0.0f)) {
        return false;
    }
    line.normalise();
    // Distance to the centre at which the sphere touches the cone.
    const float distance = radius * std::sqrt(1.0f + tangent * tangent) / tangent;
    const math::Vector3<float> centre = box.centre();
    if (!lookAt(centre - line * distance, centre, up)) {
        return false;
    }
    // A little slack, so that the nearest and farthest faces are not clipped
    // by rounding; the near plane stays in front of the eye.
    const float slack = 0.01f * radius;
    return setClipping(std::max(distance - radius - slack, slack), distance + radius + slack);
}

void PerspectiveCamera::applyView() const {
    GLint mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glMatrixMode(GL_MODELVIEW);
    glLoadTransposeMatrixf(mView.getElements());
    glMatrixMode(static_cast<GLenum>(mode));
}

}  // namespace nevrik::graphics3d
