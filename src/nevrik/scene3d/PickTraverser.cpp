#include "nevrik/scene3d/PickTraverser.h"

#include "nevrik/geometry/BoundingBox.h"
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

// The ray's inverse rates, so a box costs multiplications instead of the
// six divisions of geometry::intersects. Cell and leaf bounds are only a
// cull: the test widens each box by far more than the rounding by which a
// product differs from a quotient, and opens an axis that gives NaN, so it
// passes every box the exact tests pass, and its entry parameter is never
// beyond theirs; the leaves still get their own exact box test.
//
// The widening grows with the box's largest coordinate magnitude, so short
// of overflow every step of the test, rounding included, is monotone in the
// box: bounds holding other bounds pass whatever those pass. A cell thus
// never hides a leaf whose own test would pass, and the walk asks exactly
// the leaves it would ask without culling cells.
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
        mLanes.magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), mLanes.origin);
        mLanes.inverse = _mm_setr_ps(lane(0), lane(1), lane(2), 0.0f);
        mLanes.parallel =
            _mm_castsi128_ps(_mm_setr_epi32(flag(mParallel[0]), flag(mParallel[1]), flag(mParallel[2]), 0));
        mLanes.open = _mm_castsi128_ps(_mm_setr_epi32(flag(mParallel[0] || mUnbounded[0]),
                                                      flag(mParallel[1] || mUnbounded[1]),
                                                      flag(mParallel[2] || mUnbounded[2]), -1));
#endif
    }

#if defined(__SSE2__)
    // Whether the ray meets the bounds, widened by the magnitudes of their
    // and the origin's coordinates (the scale of the exact box test's
    // rounding), at some t in [0, limit]. The three axes in lanes, with a
    // single branch at the end: which cells pass is the one thing a walk
    // cannot predict.
    bool meets(const geometry::BoundingBox<float>& bounds, float limit) const noexcept {
        static_assert(sizeof(geometry::BoundingBox<float>) == 6 * sizeof(float),
                      "bounds load as two overlapping quads");
        // (min x, y, z, max x) and (max x, y, z, min z): the fourth lane is
        // opened below whatever it holds.
        const __m128 low = _mm_loadu_ps(&bounds.min.x);
        const __m128 tail = _mm_loadu_ps(&bounds.min.z);
        const __m128 high = _mm_shuffle_ps(tail, tail, _MM_SHUFFLE(0, 3, 2, 1));
        const __m128 sign = _mm_set1_ps(-0.0f);
        const __m128 reach = _mm_max_ps(_mm_andnot_ps(sign, low), _mm_andnot_ps(sign, high));
        const __m128 widen =
            _mm_mul_ps(_mm_set1_ps(kWidening), _mm_add_ps(_mm_add_ps(reach, reach), mLanes.magnitude));
        const __m128 below = _mm_sub_ps(_mm_sub_ps(low, mLanes.origin), widen);
        const __m128 above = _mm_add_ps(_mm_sub_ps(high, mLanes.origin), widen);
        // A parallel axis passes only with the origin inside its slab.
        const __m128 outside = _mm_and_ps(mLanes.parallel, _mm_or_ps(_mm_cmpgt_ps(below, _mm_setzero_ps()),
                                                                     _mm_cmplt_ps(above, _mm_setzero_ps())));
        const __m128 t1 = _mm_mul_ps(below, mLanes.inverse);
        const __m128 t2 = _mm_mul_ps(above, mLanes.inverse);
        const __m128 open = _mm_or_ps(mLanes.open, _mm_cmpunord_ps(t1, t2));
        // Open lanes bound the ray to t from 0 (the fourth lane makes that
        // its start) to the limit.
        __m128 near = _mm_andnot_ps(open, _mm_min_ps(t1, t2));
        __m128 far = _mm_min_ps(_mm_or_ps(_mm_and_ps(open, _mm_set1_ps(std::numeric_limits<float>::max())),
                                          _mm_andnot_ps(open, _mm_max_ps(t1, t2))),
                                _mm_set1_ps(limit));
        near = _mm_max_ps(near, _mm_shuffle_ps(near, near, _MM_SHUFFLE(1, 0, 3, 2)));
        near = _mm_max_ps(near, _mm_shuffle_ps(near, near, _MM_SHUFFLE(2, 3, 0, 1)));
        far = _mm_min_ps(far, _mm_shuffle_ps(far, far, _MM_SHUFFLE(1, 0, 3, 2)));
        far = _mm_min_ps(far, _mm_shuffle_ps(far, far, _MM_SHUFFLE(2, 3, 0, 1)));
        // One branch for both verdicts: the bits are combined as ints.
        return (_mm_comile_ss(near, far) & static_cast<int>(_mm_movemask_ps(outside) == 0)) != 0;
    }
#else
    bool meets(const geometry::BoundingBox<float>& bounds, float limit) const noexcept {
        float near = 0.0f;
        float far = std::numeric_limits<float>::max();
        for (int axis = 0; axis < 3; ++axis) {
            const float reach = std::max(std::abs(bounds.min[axis]), std::abs(bounds.max[axis]));
            const float widen = kWidening * (2.0f * reach + std::abs(mOrigin[axis]));
            const float below = bounds.min[axis] - mOrigin[axis] - widen;
            const float above = bounds.max[axis] - mOrigin[axis] + widen;
            if (mParallel[axis] && (below > 0.0f || above < 0.0f)) {
                return false;
            }
            float t1 = below * mInverse[axis];
            float t2 = above * mInverse[axis];
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

private:
    static constexpr float kWidening = 1.0f / 1048576.0f;

    math::Vector3<float> mOrigin;
    float mInverse[3];
    bool mParallel[3];
    bool mUnbounded[3];
#if defined(__SSE2__)
    struct {
        __m128 origin;
        __m128 magnitude;
        __m128 inverse;
        __m128 parallel;
        __m128 open;  // parallel or unbounded
    } mLanes;
#endif
};

// Tests boxes and cells against the ray in the walked locale's coordinates
// and keeps the strictly nearest hit. A leaf's hits lie in its box, so a
// cell or leaf the ray enters only beyond the hit held cannot improve on it
// and is skipped; whatever it could tie with was found first and stays.
struct Picker {
    using Cell = geometry::Placeable<float, 3, Graphics>::Cell;

    // A cell's bounds hold the bounds of every leaf below it, and are mostly
    // far tighter than its loose cube.
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
