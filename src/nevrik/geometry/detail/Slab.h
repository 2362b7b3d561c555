#pragma once

#include "nevrik/geometry/PickResult.h"
#include "nevrik/geometry/Ray.h"
#include "nevrik/math/Vector.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace nevrik::geometry::detail {

// The part [tmin, tmax] of a ray still inside every slab clipped so far; the
// box tests run one clip per axis and report the entry point.
class Slab {
public:
    // One slab along an axis: the ray meets it where f·t lies in [g - half,
    // g + half], f being the ray's rate along the axis and g the centre's
    // offset from the origin. A parallel ray (the caller decides what counts
    // as parallel) is inside for all t or for none.
    bool clip(bool parallel, float f, float g, float half) noexcept {
        if (parallel) {
            return std::abs(g) <= half;
        }
        float t1 = (g - half) / f;
        float t2 = (g + half) / f;
        if (t1 > t2) {
            std::swap(t1, t2);
        }
        if (t2 < mMin || t1 > mMax) {
            return false;
        }
        mMin = std::max(mMin, t1);
        mMax = std::min(mMax, t2);
        return true;
    }

    // Writes the entry point, its offset from `centre` and the entry
    // parameter into `hit`, when there is one.
    void record(const Ray& ray, const math::Vector3<float>& centre, PickResult* hit) const noexcept {
        if (hit != nullptr) {
            hit->point = ray.pointAt(mMin);
            hit->normal = hit->point - centre;
            hit->distance = mMin;
        }
    }

private:
    float mMin = 0.0f;
    float mMax = std::numeric_limits<float>::max();
};

}  // namespace nevrik::geometry::detail
