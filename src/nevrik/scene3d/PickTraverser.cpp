#include "nevrik/scene3d/PickTraverser.h"

#include "nevrik/geometry/BoundingBox.h"
#include "nevrik/geometry/Cube.h"
#include "nevrik/geometry/OrientedBox.h"
#include "nevrik/scene3d/Graphics.h"
#include "nevrik/scene3d/detail/SpaceWalk.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace nevrik::scene3d {
namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();

// The ray's inverse rates, so a cell costs multiplications instead of the
// six divisions of geometry::intersects. Cells and leaf bounds are only a
// cull: the test widens each box by far more than the rounding by which a
// product differs from a quotient, and opens an axis that gives NaN, so it
// passes every box the exact tests pass, and its entry parameter is never
// beyond theirs; the leaves still get their own exact box test.
class CellTest {
public:
    CellTest(const math::Vector3<float>& origin, const math::Vector3<float>& direction) noexcept
        : mOrigin(origin) {
        for (int axis = 0; axis < 3; ++axis) {
            mParallel[axis] = direction[axis] == 0.0f;
            mInverse[axis] = 1.0f / direction[axis];
            // A rate so small its inverse overflows bounds nothing.
            mUnbounded[axis] = !mParallel[axis] && !std::isfinite(mInverse[axis]);
        }
#if defined(__SSE2__)
        // Lanes that bound nothing multiply by 0 and are then opened; the
        // fourth lane is one of them.
        const auto lane = [&](int axis) {
            return mParallel[axis] || mUnbounded[axis] ? 0.0f : mInverse[axis];
        };
        const auto flag = [](bool set) { return set ? -1 : 0; };
        mLanes.origin = _mm_setr_ps(mOrigin.x, mOrigin.y, mOrigin.z, 0.0f);
        mLanes.inverse = _mm_setr_ps(lane(0), lane(1), lane(2), 0.0f);
        mLanes.parallel =
            _mm_castsi128_ps(_mm_setr_epi32(flag(mParallel[0]), flag(mParallel[1]), flag(mParallel[2]), 0));
        mLanes.unbounded = _mm_castsi128_ps(
            _mm_setr_epi32(flag(mUnbounded[0]), flag(mUnbounded[1]), flag(mUnbounded[2]), -1));
#endif
    }

#if defined(__SSE2__)
    // Whether the ray meets the cell or bounds at some t in [0, limit]. The
    // three axes in lanes: a cube loads as centre and edge in one go.
    bool meets(const geometry::Cube& loose, float limit) const noexcept {
        static_assert(sizeof(geometry::Cube) == 4 * sizeof(float), "a cube loads as four lanes");
        const __m128 cube = _mm_loadu_ps(&loose.centre.x);
        const __m128 edge = _mm_shuffle_ps(cube, cube, _MM_SHUFFLE(3, 3, 3, 3));
        const __m128 offset = _mm_sub_ps(cube, mLanes.origin);
        const __m128 distance = _mm_andnot_ps(_mm_set1_ps(-0.0f), offset);
        if (_mm_movemask_ps(_mm_and_ps(mLanes.parallel, _mm_cmpgt_ps(distance, edge))) != 0) {
            return false;
        }
        const __m128 half = _mm_add_ps(edge, _mm_mul_ps(_mm_set1_ps(kWidening), _mm_add_ps(distance, edge)));
        return clip(_mm_sub_ps(offset, half), _mm_add_ps(offset, half), limit);
    }

    // The bounds widened by the magnitudes of their and the origin's
    // coordinates, the scale of the exact box test's rounding.
    bool meets(const geometry::BoundingBox<float>& bounds, float limit) const noexcept {
        const __m128 low = _mm_setr_ps(bounds.min.x, bounds.min.y, bounds.min.z, 0.0f);
        const __m128 high = _mm_setr_ps(bounds.max.x, bounds.max.y, bounds.max.z, 0.0f);
        const __m128 magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), mLanes.origin);
        const __m128 sign = _mm_set1_ps(-0.0f);
        const __m128 widen = _mm_mul_ps(
            _mm_set1_ps(kWidening),
            _mm_add_ps(_mm_add_ps(_mm_andnot_ps(sign, low), _mm_andnot_ps(sign, high)), magnitude));
        const __m128 below = _mm_sub_ps(_mm_sub_ps(low, mLanes.origin), widen);
        const __m128 above = _mm_add_ps(_mm_sub_ps(high, mLanes.origin), widen);
        // A parallel axis passes only with the origin inside its slab.
        if (_mm_movemask_ps(_mm_and_ps(mLanes.parallel, _mm_or_ps(_mm_cmpgt_ps(below, _mm_setzero_ps()),
                                                                  _mm_cmplt_ps(above, _mm_setzero_ps())))) !=
            0) {
            return false;
        }
        return clip(below, above, limit);
    }
#else
    bool meets(const geometry::Cube& loose, float limit) const noexcept {
        float below[3];
        float above[3];
        for (int axis = 0; axis < 3; ++axis) {
            const float offset = loose.centre[axis] - mOrigin[axis];
            if (mParallel[axis] && std::abs(offset) > loose.edge) {
                return false;
            }
            const float half = loose.edge + kWidening * (std::abs(offset) + loose.edge);
            below[axis] = offset - half;
            above[axis] = offset + half;
        }
        return clip(below, above, limit);
    }

    bool meets(const geometry::BoundingBox<float>& bounds, float limit) const noexcept {
        float below[3];
        float above[3];
        for (int axis = 0; axis < 3; ++axis) {
            const float widen = kWidening * (std::abs(bounds.min[axis]) + std::abs(bounds.max[axis]) +
                                             std::abs(mOrigin[axis]));
            below[axis] = bounds.min[axis] - mOrigin[axis] - widen;
            above[axis] = bounds.max[axis] - mOrigin[axis] + widen;
            if (mParallel[axis] && (below[axis] > 0.0f || above[axis] < 0.0f)) {
                return false;
            }
        }
        return clip(below, above, limit);
    }
#endif

private:
    static constexpr float kWidening = 1.0f / 1048576.0f;

#if defined(__SSE2__)
    // Whether the ray meets the slabs from `below` to `above` (offsets from
    // the origin) at some t in [0, limit]; parallel axes are checked by the
    // caller.
    bool clip(__m128 below, __m128 above, float limit) const noexcept {
        const __m128 t1 = _mm_mul_ps(below, mLanes.inverse);
        const __m128 t2 = _mm_mul_ps(above, mLanes.inverse);
        const __m128 open = _mm_or_ps(_mm_or_ps(mLanes.parallel, mLanes.unbounded), _mm_cmpunord_ps(t1, t2));
        __m128 near = _mm_andnot_ps(open, _mm_min_ps(t1, t2));
        __m128 far = _mm_or_ps(_mm_and_ps(open, _mm_set1_ps(std::numeric_limits<float>::max())),
                               _mm_andnot_ps(open, _mm_max_ps(t1, t2)));
        near = _mm_max_ps(near, _mm_shuffle_ps(near, near, _MM_SHUFFLE(1, 0, 3, 2)));
        near = _mm_max_ps(near, _mm_shuffle_ps(near, near, _MM_SHUFFLE(2, 3, 0, 1)));
        far = _mm_min_ps(far, _mm_shuffle_ps(far, far, _MM_SHUFFLE(1, 0, 3, 2)));
        far = _mm_min_ps(far, _mm_shuffle_ps(far, far, _MM_SHUFFLE(2, 3, 0, 1)));
        // The ray runs from t = 0 on.
        return std::max(_mm_cvtss_f32(near), 0.0f) <= std::min(_mm_cvtss_f32(far), limit);
    }
#else
    bool clip(const float below[3], const float above[3], float limit) const noexcept {
        float near = 0.0f;
        float far = std::numeric_limits<float>::max();
        for (int axis = 0; axis < 3; ++axis) {
            float t1 = below[axis] * mInverse[axis];
            float t2 = above[axis] * mInverse[axis];
            if (mParallel[axis] || mUnbounded[axis] || std::isnan(t1) || std::isnan(t2)) {
                continue;
            }
            if (t1 > t2) {
                std::swap(t1, t2);
            }
            near = std::max(near, t1);
            far = std::min(far, t2);
        }
        return near <= std::min(far, limit);
    }
#endif

    math::Vector3<float> mOrigin;
    float mInverse[3];
    bool mParallel[3];
    bool mUnbounded[3];
#if defined(__SSE2__)
    struct {
        __m128 origin;
        __m128 inverse;
        __m128 parallel;
        __m128 unbounded;
    } mLanes;
#endif
};

// Tests boxes and cells against the ray in the walked locale's coordinates
// and keeps the strictly nearest hit. A leaf's hits lie in its box, so a
// cell or leaf the ray enters only beyond the hit held cannot improve on it
// and is skipped; whatever it could tie with was found first and stays.
struct Picker {
    using Cell = geometry::Placeable<float, 3, Graphics>::Cell;

    // A cell's bounds hold every leaf below it, and are mostly far tighter
    // than its loose cube.
    detail::CellVerdict enter(const Cell& cell) const noexcept {
        return cells.meets(cell.getBounds(), result.distance) ? detail::CellVerdict::Descend
                                                              : detail::CellVerdict::Skip;
    }

    void visit(geometry::Placeable<float, 3, Graphics>& placeable, bool) const {
        if (!cells.meets(placeable.getWorldBounds(), result.distance) ||
            !geometry::intersects(placeable.getWorldBox(), ray, nullptr)) {
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
    detail::forEachLocale(mUniverse, mLocale, [this, &ray](Locale& locale, bool) {
        mLocaleOffset = mOffset + locale.getPosition();
        for (int axis = 0; axis < 3; ++axis) {
            mRay.origin[axis] =
                static_cast<float>(static_cast<double>(ray.origin[axis]) - mLocaleOffset[axis]);
        }
        const CellTest cells(mRay.origin, mRay.direction);
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
