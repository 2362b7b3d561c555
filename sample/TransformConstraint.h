#pragma once

#include "nevrik/math/Matrix4.h"
#include "nevrik/math/Vector.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

namespace nevrik::sample {

/// Keeps a camera transform within yaw, pitch and roll limits around a
/// forward reference axis, turning it back about a pivot point when it
/// strays.
///
/// Reference-counted; whoever constrains with it keeps it alive. A plain
/// calculation: one thread at a time.
class TransformConstraint : public object::Object {
public:
    /// `forward` and `up` are normalised; the side axis is forward × up.
    /// Limits are in radians.
    TransformConstraint(const math::Vector3<float>& forward, const math::Vector3<float>& up, float yawLimit,
                        float pitchLimit, float rollLimit, const math::Vector3<float>& pivot);

    NEVRIK_CLASS_NAME(object::Object, ":TransformConstraint")

    /// Turns the rotation part of `transform` (its columns are the axis
    /// images) so that the forward column lies within the yaw and pitch
    /// limits and the up column within the roll limit, keeping the column
    /// lengths; the translation turns with it about the pivot. Returns false,
    /// changing nothing, when every angle is within its limit and when a
    /// column has zero length (no orientation to correct).
    bool constrain(math::Matrix4<float>& transform) const;

    const math::Vector3<float>& getForward() const noexcept { return mForward; }
    float getYawLimit() const noexcept { return mYawLimit; }
    float getPitchLimit() const noexcept { return mPitchLimit; }
    const math::Vector3<float>& getUp() const noexcept { return mUp; }
    float getRollLimit() const noexcept { return mRollLimit; }
    const math::Vector3<float>& getSide() const noexcept { return mSide; }
    const math::Vector3<float>& getPivot() const noexcept { return mPivot; }

private:
    // The signed angle between `direction` projected on the plane normal to
    // `normal` and the forward axis; negative towards -`sign`. Zero when the
    // projection vanishes: the direction says nothing about that angle.
    float angle(const math::Vector3<float>& direction, const math::Vector3<float>& normal,
                const math::Vector3<float>& sign) const noexcept;

    math::Vector3<float> mForward;
    float mYawLimit;
    float mPitchLimit;
    math::Vector3<float> mUp;
    float mRollLimit;
    math::Vector3<float> mSide;
    math::Vector3<float> mPivot;
};

}  // namespace nevrik::sample
