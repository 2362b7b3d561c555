#include "nevrik/scene3d/PickTraverser.h"

#include "nevrik/geometry/Cube.h"
#include "nevrik/geometry/OrientedBox.h"
#include "nevrik/scene3d/Graphics.h"
#include "nevrik/scene3d/detail/SpaceWalk.h"

#include <limits>

namespace nevrik::scene3d {
namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();

// Tests boxes and cells against the ray in the walked locale's coordinates
// and keeps the strictly nearest hit.
struct Picker {
    detail::CellVerdict enter(const geometry::Cube& loose) const noexcept {
        return geometry::intersects(loose, ray, nullptr) ? detail::CellVerdict::Descend
                                                         : detail::CellVerdict::Skip;
    }

    void visit(geometry::Placeable<float, 3, Graphics>& placeable, bool) const {
        if (!geometry::intersects(placeable.getWorldBox(), ray, nullptr)) {
            return;
        }
        Graphics& leaf = static_cast<Graphics&>(placeable);
        geometry::PickResult candidate;
        candidate.distance = kInfinity;
        if (leaf.pick(ray, &candidate) && candidate.distance < result.distance) {
            result = candidate;
            result.node = &leaf;
        }
    }

    const geometry::Ray& ray;
    geometry::PickResult& result;
};

}  // namespace

Node* PickTraverser::pick(const geometry::Ray& ray, geometry::PickResult* out) {
    mRay = ray;
    mResult = geometry::PickResult();
    mResult.distance = kInfinity;
    detail::forEachLocale(mUniverse, mLocale, [this, &ray](Locale& locale, bool) {
        mLocaleOffset = mOffset + locale.getPosition();
        for (int axis = 0; axis < 3; ++axis) {
            mRay.origin[axis] =
                static_cast<float>(static_cast<double>(ray.origin[axis]) - mLocaleOffset[axis]);
        }
        Picker picker{mRay, mResult};
        detail::walkSpace<geometry::Placeable<float, 3, Graphics>>(locale.getGraphicsSpace().getRoot(),
                                                                   picker);
    });
    if (out != nullptr) {
        *out = mResult;
    }
    return mResult.node;
}

}  // namespace nevrik::scene3d
