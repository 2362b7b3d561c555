#pragma once

#include "nevrik/geometry/BoundingBox.h"
#include "nevrik/geometry/Ray.h"
#include "nevrik/graphics3d/core/Resource.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/math/Vector.h"

namespace nevrik::graphics3d {

/// Base of the projections a viewer looks through.
///
/// Reference-counted, or held by value by its viewer. Used on the thread of
/// the current context.
class Camera : public Resource {
public:
    Camera() = default;

    NEVRIK_CLASS_NAME(Resource, ":Camera")

    /// Loads the projection matrix; the matrix mode in force stays selected.
    virtual void apply() = 0;
    /// The eye-space ray through the normalised window point (x, y), each
    /// -1 to 1, x to the right and y downwards. The direction is not unit
    /// length.
    virtual geometry::Ray eyeRay(float x, float y) const = 0;
};

/// A perspective projection given by a window (left, bottom, width, height)
/// measured at a distance from the eye, and near and far clipping planes;
/// off-centre windows make skewed frusta.
///
/// Held by value by its viewer, or reference-counted. Used on the thread of
/// the current context.
class PerspectiveCamera : public Camera {
public:
    /// Window -1, -1, 2 x 2 at distance 1, near 1, far 1000: a right angle
    /// of view. The matrix is the identity until the first apply().
    PerspectiveCamera() = default;

    NEVRIK_CLASS_NAME(Camera, ":PerspectiveCamera")

    /// Builds the projection into the matrix and loads it as the projection
    /// matrix, then selects the matrix mode that was in force again.
    void apply() override;
    /// From the eye through the window point, where the window lies at
    /// `distance`: ((x + 1) * width / 2 + left, (1 - y) * height / 2 +
    /// bottom, -distance), so that apply()'s projection takes the direction
    /// back to (x, -y).
    geometry::Ray eyeRay(float x, float y) const override;

    /// False, changing nothing, unless width and height are above 0.
    bool setWindow(float left, float bottom, float width, float height) noexcept;
    /// False, changing nothing, when the planes coincide.
    bool setClipping(float nearDistance, float farDistance) noexcept;
    void setDistance(float distance) noexcept { mDistance = distance; }

    /// A centred window at distance 1 that sees `verticalDegrees` from top
    /// to bottom and is `aspect` times as wide as high. False, changing
    /// nothing, unless the angle lies strictly between 0 and 180 and the
    /// aspect is above 0.
    bool setFieldOfView(float verticalDegrees, float aspect) noexcept;
    /// The view from `eye` towards `target`, `up` pointing up on the screen
    /// (it need not be at a right angle to the line of sight). False,
    /// changing nothing, when eye and target coincide or `up` lies along the
    /// line of sight.
    bool lookAt(const math::Vector3<float>& eye, const math::Vector3<float>& target,
                const math::Vector3<float>& up) noexcept;
    /// Looks at the centre of `box` along `direction`, from just far enough
    /// that the whole box is in view, with the clipping planes around it.
    /// False, changing nothing, for a box of no size, a direction of no
    /// length or along `up`, and a window that does not contain its centre
    /// line.
    bool frame(const geometry::BoundingBox<float>& box, const math::Vector3<float>& direction,
               const math::Vector3<float>& up) noexcept;
    /// Loads the view of lookAt() or frame() as the model-view matrix, then
    /// selects the matrix mode that was in force again.
    void applyView() const;
    /// World to eye coordinates (row-major); the identity until lookAt().
    const math::Matrix4<float>& getView() const noexcept { return mView; }

    float getNear() const noexcept { return mNear; }
    float getFar() const noexcept { return mFar; }
    float getDistance() const noexcept { return mDistance; }
    float getLeft() const noexcept { return mLeft; }
    float getBottom() const noexcept { return mBottom; }
    float getWidth() const noexcept { return mWidth; }
    float getHeight() const noexcept { return mHeight; }
    /// The projection the last apply() loaded (row-major).
    const math::Matrix4<float>& getMatrix() const noexcept { return mMatrix; }

private:
    float mNear = 1.0f;
    float mFar = 1000.0f;
    float mDistance = 1.0f;
    float mLeft = -1.0f;
    float mBottom = -1.0f;
    float mWidth = 2.0f;
    float mHeight = 2.0f;
    math::Matrix4<float> mMatrix;
    math::Matrix4<float> mView;
};

}  // namespace nevrik::graphics3d
