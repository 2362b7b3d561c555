#include "sample/TransformConstraint.h"

#include <algorithm>
#include <cmath>

namespace nevrik::sample {
namespace {

using Vector3 = math::Vector3<float>;

// `v` without its part along the unit vector `n`.
Vector3 reject(const Vector3& v, const Vector3& n) noexcept {
    return v - n * v.dot(n);
}

bool isZero(const Vector3& v) noexcept {
    // Written so that NaN counts as zero too.
    return !(v.squaredLength() > 0.0f);
}

Vector3 unit(Vector3 v) noexcept {
    return v.normalise();
}

// Clamps `value` to [-limit, limit]; true when it had to.
bool clampAngle(float& value, float limit) noexcept {
    const float clamped = std::clamp(value, -limit, limit);
    const bool changed = clamped != value;
    value = clamped;
    return changed;
}

float acosUnit(float cosine) noexcept {
    // Rounding can push a dot product of unit vectors just past ±1.
    return std::acos(std::clamp(cosine, -1.0f, 1.0f));
}

}  // namespace

TransformConstraint::TransformConstraint(const math::Vector3<float>& forward, const math::Vector3<float>& up,
                                         float yawLimit, float pitchLimit, float rollLimit,
                                         const math::Vector3<float>& pivot)
    : mForward(unit(forward)),
      mYawLimit(yawLimit),
      mPitchLimit(pitchLimit),
      mUp(unit(up)),
      mRollLimit(rollLimit),
      mSide(unit(mForward.cross(mUp))),
      mPivot(pivot) {}

float TransformConstraint::angle(const math::Vector3<float>& direction, const math::Vector3<float>& normal,
                                 const math::Vector3<float>& sign) const noexcept {
    const Vector3 projection = reject(direction, normal);
    if (isZero(projection)) {
        return 0.0f;
    }
    const float value = acosUnit(unit(projection).dot(mForward));
    return projection.dot(sign) < 0.0f ? -value : value;
}

bool TransformConstraint::constrain(math::Matrix4<float>& transform) const {
    Vector3 columns[3] = {transform.getColumn(0), transform.getColumn(1), transform.getColumn(2)};
    const float lengths[3] = {columns[0].length(), columns[1].length(), columns[2].length()};
    for (float length : lengths) {
        if (!(length > 0.0f)) {
            return false;
        }
    }
    bool changed = false;

    float yaw = angle(columns[2], mUp, mSide);
    float pitch = angle(columns[2], mSide, mUp);
    const bool yawClamped = clampAngle(yaw, mYawLimit);
    if (clampAngle(pitch, mPitchLimit) || yawClamped) {
        const Vector3 heading = mForward * std::cos(yaw) + mSide * std::sin(yaw);
        const Vector3 forward = unit(heading * std::cos(pitch) + mUp * std::sin(pitch));
        // The new x column stays as close to the old one as the new forward
        // allows; when the old y column runs along the new forward, the old
        // x column (made perpendicular) says where it points.
        Vector3 side = columns[1].cross(forward);
        if (isZero(side)) {
            side = reject(columns[0], forward);
        }
        if (isZero(side)) {
            return false;
        }
        side.normalise();
        columns[0] = side * lengths[0];
        columns[1] = unit(forward.cross(side)) * lengths[1];
        columns[2] = forward * lengths[2];
        changed = true;
    }

    const Vector3 axis = unit(columns[2]);
    const Vector3 levelUp = reject(mUp, axis);
    if (!isZero(levelUp)) {
        const Vector3 w = unit(levelUp);
        const float roll = acosUnit(w.dot(columns[1]) / lengths[1]);
        if (roll > mRollLimit) {
            // Turn towards whichever side of w the y column lies on, within
            // the plane normal to the forward column.
            Vector3 across = axis.cross(w);
            if (columns[1].dot(across) < 0.0f) {
                across *= -1.0f;
            }
            columns[1] = (w * std::cos(mRollLimit) + across * std::sin(mRollLimit)) * lengths[1];
            columns[0] = unit(columns[1].cross(columns[2])) * lengths[0];
            changed = true;
        }
    }
    if (!changed) {
        return false;
    }

    math::Matrix4<float> inverse;
    math::Matrix4<float> rotation;
    for (int column = 0; column < 3; ++column) {
        inverse.setColumn(column, transform.getColumn(column));
        rotation.setColumn(column, columns[column]);
    }
    if (!inverse.invertGaussJordan()) {
        // Flat columns: there is no rotation to correct.
        return false;
    }
    const math::Matrix4<float> correction = rotation * inverse;
    const Vector3 translation = mPivot + correction.transformDirection(transform.getColumn(3) - mPivot);
    for (int column = 0; column < 3; ++column) {
        transform.setColumn(column, columns[column]);
        transform(3, column) = 0.0f;
    }
    transform.setColumn(3, translation);
    return true;
}

}  // namespace nevrik::sample
