#pragma once

#include "nevrik/geometry/Ray.h"
#include "nevrik/math/Vector.h"

#include <limits>

namespace nevrik::geometry::detail {

// Below this |det| the ray runs in the triangle's plane: no hit, even across an edge.
constexpr float kParallel = std::numeric_limits<float>::epsilon();

// Möller–Trumbore over the corner p and the edges e1 = Q - P, e2 = R - P;
// both faces count. On a hit gives the ray parameter t. The per-triangle
// loop and the hierarchy both call this one function (the geometry library
// is built without floating-point contraction), so their answers agree to
// the bit.
inline bool rayMeetsTriangle(const Ray& ray, const math::Vector3<float>& p, const math::Vector3<float>& e1,
                             const math::Vector3<float>& e2, float& t) noexcept {
    const math::Vector3<float> h = ray.direction.cross(e2);
    const float det = e1.dot(h);
    if (det > -kParallel && det < kParallel) {
        return false;
    }
    const float inverse = 1.0f / det;
    const math::Vector3<float> s = ray.origin - p;
    const float u = s.dot(h) * inverse;
    if (u < 0.0f || u > 1.0f) {
        return false;
    }
    const math::Vector3<float> sCrossE1 = s.cross(e1);
    const float v = ray.direction.dot(sCrossE1) * inverse;
    if (v < 0.0f || u + v > 1.0f) {
        return false;
    }
    t = e2.dot(sCrossE1) * inverse;
    return true;
}

}  // namespace nevrik::geometry::detail
