#include "nevrik/geometry/OrientedBox.h"

#include "nevrik/geometry/detail/Slab.h"

#include <cassert>
#include <cmath>
#include <limits>

namespace nevrik::geometry {

OrientedBox::OrientedBox(const BoundingBox<float>& box) noexcept : mCentre((box.min + box.max) * 0.5f) {
    const math::Vector3<float> half = (box.max - box.min) * 0.5f;
    setAxis(0, math::Vector3<float>(half.x, 0.0f, 0.0f));
    setAxis(1, math::Vector3<float>(0.0f, half.y, 0.0f));
    setAxis(2, math::Vector3<float>(0.0f, 0.0f, half.z));
}

BoundingBox<float> OrientedBox::toBoundingBox() const noexcept {
    math::Vector3<float> extent;
    for (int i = 0; i < 3; ++i) {
        extent[i] = std::abs(mAxes[0][i]) + std::abs(mAxes[1][i]) + std::abs(mAxes[2][i]);
    }
    return BoundingBox<float>(mCentre - extent, mCentre + extent);
}

void OrientedBox::transform(const math::Matrix4<float>& m) noexcept {
    mCentre = m.transformPoint(mCentre);
    for (int i = 0; i < 3; ++i) {
        setAxis(i, m.transformDirection(mAxes[i]));
    }
}

const math::Vector3<float>& OrientedBox::getAxis(int index) const noexcept {
    assert(index >= 0 && index < 3);
    return mAxes[index];
}

float OrientedBox::getSquaredLength(int index) const noexcept {
    assert(index >= 0 && index < 3);
    return mSquaredLengths[index];
}

bool OrientedBox::setAxis(int index, const math::Vector3<float>& axis) noexcept {
    if (index < 0 || index > 2) {
        return false;
    }
    mAxes[index] = axis;
    mSquaredLengths[index] = axis.squaredLength();
    return true;
}

bool intersects(const OrientedBox& box, const Ray& ray, PickResult* hit) noexcept {
    const math::Vector3<float> d = box.getCentre() - ray.origin;
    detail::Slab slab;
    for (int i = 0; i < 3; ++i) {
        const math::Vector3<float>& axis = box.getAxis(i);
        // Projections on the unnormalised axis: the box spans ±Li around the
        // centre's projection, Li being the axis's squared length.
        const float f = ray.direction.dot(axis);
        const float g = d.dot(axis);
        const bool parallel = std::abs(f) < std::numeric_limits<float>::epsilon();
        if (!slab.clip(parallel, f, g, box.getSquaredLength(i))) {
            return false;
        }
    }
    slab.record(ray, box.getCentre(), hit);
    return true;
}

}  // namespace nevrik::geometry
