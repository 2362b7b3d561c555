#include "nevrik/scene3d/PickTraverser.h"

#include "nevrik/geometry/Cube.h"
#include "nevrik/geometry/OrientedBox.h"
#include "nevrik/scene3d/Graphics.h"
#include "nevrik/scene3d/detail/SpaceWalk.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace nevrik::scene3d {
namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();

// The ray's inverse rates, so a cell costs multiplications instead of the
// six divisions of geometry::intersects. Cells are only a cull: the test
// widens each cube by far more than the rounding by which a product differs
// from a quotient, so it passes every cell that test passes, and the leaves
// still get their own exact box test.
class CellTest {
public:
    explicit CellTest(const math::Vector3<float>& direction) noexcept {
        for (int axis = 0; axis < 3; ++axis) {
            mParallel[axis] = direction[axis] == 0.0f;
            mInverse[axis] = 1.0f / direction[axis];
            // A rate so small its inverse overflows bounds nothing.
            mUnbounded[axis] = !mParallel[axis] && !std::isfinite(mInverse[axis]);
        }
    }

    bool meets(const geometry::Cube& loose, const math::Vector3<float>& origin) const noexcept {
        float near = 0.0f;
        float far = std::numeric_limits<float>::max();
        for (int axis = 0; axis < 3; ++axis) {
            const float offset = loose.centre[axis] - origin[axis];
            if (mParallel[axis]) {
                if (!(std::abs(offset) <= loose.edge)) {
                    return false;
                }
                continue;
            }
            if (mUnbounded[axis]) {
                continue;
            }
            const float half = loose.edge + kWidening * (std::abs(offset) + loose.edge);
            float t1 = (offset - half) * mInverse[axis];
            float t2 = (offset + half) * mInverse[axis];
            if (t1 > t2) {
                std::swap(t1, t2);
            }
            if (t2 < near || t1 > far) {
                return false;
            }
            near = std::max(near, t1);
            far = std::min(far, t2);
        }
        return true;
    }

private:
    static constexpr float kWidening = 1.0f / 1048576.0f;

    float mInverse[3];
    bool mParallel[3];
    bool mUnbounded[3];
};

// Tests boxes and cells against the ray in the walked locale's coordinates
// and keeps the strictly nearest hit.
struct Picker {
    detail::CellVerdict enter(const geometry::Cube& loose) const noexcept {
        return cells.meets(loose, ray.origin) ? detail::CellVerdict::Descend : detail::CellVerdict::Skip;
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
    const CellTest& cells;
    geometry::PickResult& result;
};

}  // namespace

Node* PickTraverser::pick(const geometry::Ray& ray, geometry::PickResult* out) {
    mRay = ray;
    mResult = geometry::PickResult();
    mResult.distance = kInfinity;
    const CellTest cells(ray.direction);
    detail::forEachLocale(mUniverse, mLocale, [this, &ray, &cells](Locale& locale, bool) {
        mLocaleOffset = mOffset + locale.getPosition();
        for (int axis = 0; axis < 3; ++axis) {
            mRay.origin[axis] =
                static_cast<float>(static_cast<double>(ray.origin[axis]) - mLocaleOffset[axis]);
        }
        Picker picker{mRay, cells, mResult};
        detail::walkSpace<geometry::Placeable<float, 3, Graphics>>(locale.getGraphicsSpace().getRoot(),
                                                                   picker);
    });
    if (out != nullptr) {
        *out = mResult;
    }
    return mResult.node;
}

}  // namespace nevrik::scene3d
