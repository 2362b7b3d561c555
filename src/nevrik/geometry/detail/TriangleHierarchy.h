#pragma once

#include "nevrik/geometry/Ray.h"
#include "nevrik/geometry/detail/RayTriangle.h"
#include "nevrik/math/Vector.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace nevrik::geometry::detail {

#if defined(__SSE2__)
// All bits set in lanes 0 to 2, clear in lane 3: keeps x, y and z of a
// four-float load and drops the field after them.
inline __m128 xyzLanes() noexcept {
    return _mm_castsi128_ps(_mm_setr_epi32(-1, -1, -1, 0));
}
#endif

// A bounding-volume hierarchy over the triangles of one collider, answering
// exactly as the collider's per-triangle loop does: the same triangles get the
// same test (rayMeetsTriangle, or four at once with the same operations in
// the same order), and the walk only skips a box, widened by more than the
// slack of that test's hit check, when no triangle inside can be accepted.
//
// Built once (binned surface-area heuristic, depth bounded) into a flat node
// array whose inner nodes keep their two children side by side; leaves hold
// up to sixteen triangles gathered in leaf order as corner, edges and order
// (40 bytes), so a leaf reads contiguous memory; with the 32-byte nodes about
// 47 bytes a triangle on the generated models. Triangles that are not well
// shaped (non-finite or slivers, whose hits are not checked against their
// boxes) are kept out of the tree and tested on every query.
//
// Queries are const and allocate nothing; building is not synchronised.
class TriangleHierarchy {
public:
    // One triangle to build over: its corners and its place in the mesh's
    // triangle order, which decides ties.
    struct Source {
        math::Vector3<float> p;
        math::Vector3<float> q;
        math::Vector3<float> r;
        std::uint32_t order;
    };

    // What a query derives from the ray alone: made once and shared by every
    // hierarchy the same ray is put to (the meshes of one model), so each of
    // them that the ray misses costs one box test.
    class Probe {
    public:
        explicit Probe(const Ray& ray) noexcept;

        const Ray& getRay() const noexcept { return mRay; }

    private:
        friend TriangleHierarchy;

        Ray mRay;
        // The largest |part| of origin and direction, +infinity when one is
        // NaN: within a hierarchy's quick limit, it answers with no more ado.
        float mLargest = 0.0f;
        // The largest |origin coordinate|, which scales the boxes' slack.
        float mOriginReach = 0.0f;
#if defined(__SSE2__)
        // The box test's three axes in lanes: see enter().
        __m128 mOrigin;
        __m128 mInverse;
        __m128 mParallel;
        __m128 mFree;
        __m128 mBelow;
        __m128 mAbove;
        bool mAnyParallel = false;
#else
        float mInverse[3] = {};
        bool mParallel[3] = {};
        bool mUnbounded[3] = {};
#endif
    };

    // Boxes are widened by this fraction of (largest |origin coordinate| +
    // reach) when a ray is tested against them: twice the slack by which an
    // accepted hit may lie outside its triangle's box (kHitSlack), so the
    // box test's own rounding cannot drop a triangle the test accepts.
    static constexpr float kSlack = 2.0f * kHitSlack;
    // Deepest level of the tree; a node there is a leaf whatever it holds, so
    // building ends and the walk's stack is bounded.
    static constexpr int kMaxDepth = 48;

    // Replaces the hierarchy by one over `sources`.
    void build(const std::vector<Source>& sources);
    void clear() noexcept;

    // Whether intersect() can answer for `ray`: its parts are finite, and
    // nothing the per-triangle test computes for a tree triangle overflows
    // (an infinite determinant accepts at t = 0 wherever the ray passes).
    bool answers(const Probe& probe) const noexcept {
        // Most rays are well within the largest parts that fit: one
        // comparison, failed by NaN too.
        return probe.mLargest <= mQuickLimit || fits(probe.mRay);
    }
    // Where a walk starts: whether the ray meets the root's box, and where.
    struct Start {
        bool root = false;
        float entry = 0.0f;
    };
    // The first step of a query the ray answers(): false when no triangle
    // can be met within [lower, upper], else where the walk starts. Inline,
    // so that each mesh a model's ray misses costs this test alone.
    bool start(const Probe& probe, float lower, float upper, Start& start) const noexcept {
        start.root =
            !mNodes.empty() && enter(probe, mNodes.front(), slackFor(probe), lower, upper, start.entry);
        if (!start.root) {
            start.entry = lower;
        }
        return start.root || mLooseCount != 0;
    }
    // The accepted triangle with lower <= t <= upper of smallest t, of equal
    // t the one latest in the mesh's order; `nearest` false stops at the first
    // one accepted. On a hit gives t and that triangle's e1 x e2. `from`
    // comes from start() with the same `lower` and an `upper` no smaller.
    bool intersect(const Probe& probe, const Start& from, float lower, float upper, bool nearest, float& t,
                   math::Vector3<float>& normal) const noexcept;

    // Bytes of the nodes and gathered triangles.
    std::size_t getByteSize() const noexcept;

private:
    static constexpr float kNoLimit = -1.0f;

    struct Node {
        float lower[3];
        // Leaf: first gathered triangle. Inner node: first child; the second follows it.
        std::uint32_t first;
        float upper[3];
        // Triangles of a leaf; 0 marks an inner node.
        std::uint32_t count;
    };
    struct Triangle {
        math::Vector3<float> p;
        math::Vector3<float> e1;
        math::Vector3<float> e2;
        std::uint32_t order;
    };
    struct Reference;
    class Builder;

    // How far this hierarchy's boxes are widened for `probe`'s ray.
    float slackFor(const Probe& probe) const noexcept {
        return kSlack * (probe.mOriginReach + mReach);
    }
    // Whether the ray meets `node`'s box widened by `slack` within
    // [lower, best]; gives the entry parameter.
    static bool enter(const Probe& probe, const Node& node, float slack, float lower, float best,
                      float& entry) noexcept;
    // enter() for the two children side by side at `pair`, with the same
    // verdicts and entries: bit k of the result says child k is met.
    static int enterPair(const Probe& probe, const Node* pair, float slack, float lower, float best,
                         float entries[2]) noexcept;
#if defined(__SSE2__)
    // The per-axis bounds of t inside `node`'s box widened by `slack`, one
    // axis a lane, for enter() and enterPair() to reduce; false when a
    // parallel axis leaves the ray outside.
    static bool slabs(const Probe& probe, const Node& node, float slack, __m128& near, __m128& far) noexcept;
#endif
    // Whether `ray`'s parts are finite and the test's products stay finite for it.
    bool fits(const Ray& ray) const noexcept;
    // Whether the test's products stay finite for rays of these largest
    // |origin| and |direction| parts.
    bool fits(double origin, double direction) const noexcept;

    std::vector<Node> mNodes;
    // The loose triangles first, in mesh order, then the tree's in leaf order.
    std::vector<Triangle> mTriangles;
    std::uint32_t mLooseCount = 0;
    // The largest |coordinate| of a tree triangle's corner; scales the slack
    // by which boxes are widened when tested.
    float mReach = 0.0f;
    // The largest |coordinate| of a tree triangle's edge.
    float mEdge = 0.0f;
    // Rays whose parts are all within this fit (answers() needs no more);
    // kNoLimit when even parts of 1 may not.
    float mQuickLimit = kNoLimit;
};

// Without NaN inputs (the collider refuses non-finite rays here) no bound
// comes out NaN.
#if defined(__SSE2__)
inline bool TriangleHierarchy::slabs(const Probe& probe, const Node& node, float slack, __m128& near,
                                     __m128& far) noexcept {
    static_assert(sizeof(Node) == 32 && offsetof(Node, upper) == 16,
                  "a node's bounds load as four lanes each");
    const __m128 threeLanes = xyzLanes();
    const __m128 widen = _mm_set1_ps(slack);
    // Lane 3 of each load is `first` or `count`: cleared before it can
    // reach the arithmetic as a denormal.
    const __m128 low = _mm_sub_ps(_mm_and_ps(_mm_loadu_ps(node.lower), threeLanes), widen);
    const __m128 high = _mm_add_ps(_mm_and_ps(_mm_loadu_ps(node.upper), threeLanes), widen);
    if (probe.mAnyParallel &&
        _mm_movemask_ps(_mm_and_ps(probe.mParallel, _mm_or_ps(_mm_cmplt_ps(probe.mOrigin, low),
                                                              _mm_cmpgt_ps(probe.mOrigin, high)))) != 0) {
        return false;
    }
    const __m128 t0 = _mm_mul_ps(_mm_sub_ps(low, probe.mOrigin), probe.mInverse);
    const __m128 t1 = _mm_mul_ps(_mm_sub_ps(high, probe.mOrigin), probe.mInverse);
    near = _mm_or_ps(probe.mBelow, _mm_andnot_ps(probe.mFree, _mm_min_ps(t0, t1)));
    far = _mm_or_ps(probe.mAbove, _mm_andnot_ps(probe.mFree, _mm_max_ps(t0, t1)));
    return true;
}

inline bool TriangleHierarchy::enter(const Probe& probe, const Node& node, float slack, float lower,
                                     float best, float& entry) noexcept {
    __m128 near;
    __m128 far;
    if (!slabs(probe, node, slack, near, far)) {
        return false;
    }
    near = _mm_max_ps(near, _mm_shuffle_ps(near, near, _MM_SHUFFLE(1, 0, 3, 2)));
    near = _mm_max_ps(near, _mm_shuffle_ps(near, near, _MM_SHUFFLE(2, 3, 0, 1)));
    far = _mm_min_ps(far, _mm_shuffle_ps(far, far, _MM_SHUFFLE(1, 0, 3, 2)));
    far = _mm_min_ps(far, _mm_shuffle_ps(far, far, _MM_SHUFFLE(2, 3, 0, 1)));
    const float opening = std::max(_mm_cvtss_f32(near), lower);
    entry = opening;
    return opening <= std::min(_mm_cvtss_f32(far), best);
}

inline int TriangleHierarchy::enterPair(const Probe& probe, const Node* pair, float slack, float lower,
                                        float best, float entries[2]) noexcept {
    // Both boxes' slabs, then both reductions at once: a max or min of the
    // same values in another order, so the same entries as enter().
    // A box outside keeps zeros, which its lane's verdict then masks.
    __m128 nearA = _mm_setzero_ps();
    __m128 farA = _mm_setzero_ps();
    __m128 nearB = _mm_setzero_ps();
    __m128 farB = _mm_setzero_ps();
    const int inside = (slabs(probe, pair[0], slack, nearA, farA) ? 1 : 0) |
                       (slabs(probe, pair[1], slack, nearB, farB) ? 2 : 0);
    // (Ax Bx Ay By) with (Az Bz A3 B3), then the halves: A in lane 0, B in lane 1.
    __m128 near = _mm_max_ps(_mm_unpacklo_ps(nearA, nearB), _mm_unpackhi_ps(nearA, nearB));
    near = _mm_max_ps(_mm_max_ps(near, _mm_movehl_ps(near, near)), _mm_set1_ps(lower));
    __m128 far = _mm_min_ps(_mm_unpacklo_ps(farA, farB), _mm_unpackhi_ps(farA, farB));
    far = _mm_min_ps(_mm_min_ps(far, _mm_movehl_ps(far, far)), _mm_set1_ps(best));
    _mm_store_ss(entries, near);
    _mm_store_ss(entries + 1, _mm_shuffle_ps(near, near, _MM_SHUFFLE(1, 1, 1, 1)));
    return _mm_movemask_ps(_mm_cmple_ps(near, far)) & inside;
}
#else
inline bool TriangleHierarchy::enter(const Probe& probe, const Node& node, float slack, float lower,
                                     float best, float& entry) noexcept {
    float near = lower;
    float far = best;
    for (int axis = 0; axis < 3; ++axis) {
        const float origin = probe.mRay.origin[axis];
        const float low = node.lower[axis] - slack;
        const float high = node.upper[axis] + slack;
        if (probe.mParallel[axis]) {
            if (!(origin >= low && origin <= high)) {
                return false;
            }
            continue;
        }
        if (probe.mUnbounded[axis]) {
            continue;
        }
        float t0 = (low - origin) * probe.mInverse[axis];
        float t1 = (high - origin) * probe.mInverse[axis];
        if (t0 > t1) {
            std::swap(t0, t1);
        }
        near = t0 > near ? t0 : near;
        far = t1 < far ? t1 : far;
    }
    entry = near;
    return near <= far;
}

inline int TriangleHierarchy::enterPair(const Probe& probe, const Node* pair, float slack, float lower,
                                        float best, float entries[2]) noexcept {
    return (enter(probe, pair[0], slack, lower, best, entries[0]) ? 1 : 0) |
           (enter(probe, pair[1], slack, lower, best, entries[1]) ? 2 : 0);
}
#endif

}  // namespace nevrik::geometry::detail
