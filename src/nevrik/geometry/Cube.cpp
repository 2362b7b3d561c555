#include "nevrik/geometry/Cube.h"

#include "nevrik/geometry/detail/Slab.h"

namespace nevrik::geometry {

bool intersects(const Cube& loose, const Ray& ray, PickResult* hit) noexcept {
    const math::Vector3<float> d = loose.centre - ray.origin;
    detail::Slab slab;
    for (int axis = 0; axis < 3; ++axis) {
        // Only an exactly zero rate is parallel here: the coordinate axes need
        // no tolerance, and any non-zero rate gives finite or infinite bounds
        // that still order correctly.
        if (!slab.clip(ray.direction[axis] == 0.0f, ray.direction[axis], d[axis], loose.edge)) {
            return false;
        }
    }
    slab.record(ray, loose.centre, hit);
    return true;
}

}  // namespace nevrik::geometry
