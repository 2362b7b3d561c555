#pragma once

#include "nevrik/geometry/Ray.h"
#include "nevrik/math/Vector.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace nevrik::geometry::detail {

// Below this |det| the ray runs in the triangle's plane: no hit, even across an edge.
constexpr float kParallel = std::numeric_limits<float>::epsilon();

// A hit's point must lie in the triangle's box widened by this fraction of
// the largest |coordinate| among the ray's origin and the corners. Rounding
// moves a true hit far less; a ray lying in the triangle's plane to within
// rounding can pass the determinant test and come out with t anywhere along
// it, and such a "hit" is noise.
constexpr float kHitSlack = 1.0f / 32768.0f;
// A triangle whose corner angle at P has a sine below this is a sliver: its
// determinant is small for every ray, so rounding moves even its true hits
// by more than any slack, and its hits are taken as the test gives them.
constexpr double kSliver = 1.0 / 256.0;

inline bool isFinite(const math::Vector3<float>& v) noexcept {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

inline float largestPart(const math::Vector3<float>& v) noexcept {
    return std::max({std::abs(v.x), std::abs(v.y), std::abs(v.z)});
}

// Whether the triangle of corner p and edges e1, e2 is finite and no sliver,
// so that its hits are checked against its box.
inline bool isWellShaped(const math::Vector3<float>& p, const math::Vector3<float>& e1,
                         const math::Vector3<float>& e2) noexcept {
    if (!isFinite(p) || !isFinite(e1) || !isFinite(e2)) {
        return false;
    }
    using Vector3d = math::Vector3<double>;
    const Vector3d a(e1.x, e1.y, e1.z);
    const Vector3d b(e2.x, e2.y, e2.z);
    // Squared, so no square roots: |a x b|^2 > kSliver^2 |a|^2 |b|^2.
    return a.cross(b).squaredLength() > kSliver * kSliver * a.squaredLength() * b.squaredLength();
}

// Whether the point at t lies in the box of the triangle of corner p and
// edges e1, e2, widened by the slack of kHitSlack. NaN fails.
inline bool hitLiesInBox(const Ray& ray, const math::Vector3<float>& p, const math::Vector3<float>& e1,
                         const math::Vector3<float>& e2, float t) noexcept {
    const math::Vector3<float> q = p + e1;
    const math::Vector3<float> r = p + e2;
    const float slack =
        kHitSlack * (largestPart(ray.origin) + std::max({largestPart(p), largestPart(q), largestPart(r)}));
    const math::Vector3<float> point = ray.pointAt(t);
    for (int axis = 0; axis < 3; ++axis) {
        const float low = std::min({p[axis], q[axis], r[axis]}) - slack;
        const float high = std::max({p[axis], q[axis], r[axis]}) + slack;
        if (!(point[axis] >= low && point[axis] <= high)) {
            return false;
        }
    }
    return true;
}

// Whether the point at t lies on the triangle as far as rounding can tell:
// in its widened box, or anywhere for a triangle that is not well shaped.
inline bool hitLiesOnTriangle(const Ray& ray, const math::Vector3<float>& p, const math::Vector3<float>& e1,
                              const math::Vector3<float>& e2, float t) noexcept {
    return !isWellShaped(p, e1, e2) || hitLiesInBox(ray, p, e1, e2, t);
}

// Möller–Trumbore over the corner p and the edges e1 = Q - P, e2 = R - P;
// both faces count. On a hit gives the ray parameter t. The determinant test
// computes t only up to its rounding, so a hit must also pass
// hitLiesOnTriangle. The per-triangle loop and the hierarchy both call this
// one function, or its four-wide copy with the same operations (the
// geometry library is built without floating-point contraction), so their
// answers agree to the bit.
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
    return hitLiesOnTriangle(ray, p, e1, e2, t);
}

}  // namespace nevrik::geometry::detail
