#pragma once

#include "nevrik/math/Matrix4.h"
#include "nevrik/math/Vector.h"

namespace nevrik::geometry {

/// A ray: the points origin + t·direction. The direction need not be unit
/// length; every distance reported against a ray is the parameter t.
///
/// A plain value: copied freely, never reference-counted.
class Ray {
public:
    constexpr Ray() noexcept = default;
    constexpr Ray(const math::Vector3<float>& origin0, const math::Vector3<float>& direction0) noexcept
        : origin(origin0), direction(direction0) {}

    constexpr math::Vector3<float> pointAt(float t) const noexcept { return origin + direction * t; }

    /// Carries the ray by `m`: the origin as a point, the direction without
    /// the translation.
    constexpr void transform(const math::Matrix4<float>& m) noexcept {
        origin = m.transformPoint(origin);
        direction = m.transformDirection(direction);
    }

    math::Vector3<float> origin;
    math::Vector3<float> direction;
};

}  // namespace nevrik::geometry
