#include "nevrik/geometry/detail/TriangleHierarchy.h"

#include "nevrik/geometry/detail/RayTriangle.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace nevrik::geometry::detail {
namespace {

using Vector3f = math::Vector3<float>;

constexpr int kBins = 16;
// Nodes this small become leaves without asking the heuristic; up to
// kLargestLeaf triangles stay together when splitting would not pay.
constexpr std::uint32_t kSmallLeaf = 8;
constexpr std::uint32_t kLargestLeaf = 16;
// What visiting an inner node costs (a pair of box tests and a stack entry),
// in triangle tests. The walk alone would favour less, as four triangles
// tested at once cost about two visits, but smaller leaves mean more nodes:
// this keeps them near seven bytes a triangle.
constexpr double kVisitCost = 6.0;
constexpr float kInfinity = std::numeric_limits<float>::infinity();

double halfArea(const float lower[3], const float upper[3]) noexcept {
    const double x = double{upper[0]} - lower[0];
    const double y = double{upper[1]} - lower[1];
    const double z = double{upper[2]} - lower[2];
    return x * y + y * z + z * x;
}

}  // namespace

// A tree triangle's box, its place among the sources and its bin in the
// split being made: 32 bytes, each corner loading as four lanes.
struct alignas(16) TriangleHierarchy::Reference {
    float lower[3];
    std::uint32_t source;
    float upper[3];
    std::uint32_t bin;

    float centre(int axis) const noexcept { return lower[axis] * 0.5f + upper[axis] * 0.5f; }
};

namespace {

// Four floats taking lane-wise minima and maxima at once: binning is most of
// the building time. Lane 3 is unused and kept 0.
struct Lanes {
#if defined(__SSE2__)
    __m128 value;
    // Three floats and one more 32-bit field, which is cleared: as a float it
    // may be a denormal, slow in arithmetic.
    static Lanes load(const float* from) noexcept {
        return {_mm_and_ps(_mm_loadu_ps(from), xyzLanes())};
    }
    static Lanes fill(float x) noexcept {
        return {_mm_set1_ps(x)};
    }
    Lanes min(Lanes other) const noexcept {
        return {_mm_min_ps(value, other.value)};
    }
    Lanes max(Lanes other) const noexcept {
        return {_mm_max_ps(value, other.value)};
    }
    Lanes minus(Lanes other) const noexcept {
        return {_mm_sub_ps(value, other.value)};
    }
    Lanes magnitude() const noexcept {
        return {_mm_andnot_ps(_mm_set1_ps(-0.0f), value)};
    }
    // Halves first: the sum of two huge coordinates would overflow.
    Lanes midpoint(Lanes other) const noexcept {
        const __m128 half = _mm_set1_ps(0.5f);
        return {_mm_add_ps(_mm_mul_ps(value, half), _mm_mul_ps(other.value, half))};
    }
    void store(float* to) const noexcept {
        _mm_storeu_ps(to, value);
    }
#else
    float value[4];
    static Lanes load(const float* from) noexcept {
        return {{from[0], from[1], from[2], 0.0f}};
    }
    static Lanes fill(float x) noexcept {
        return {{x, x, x, x}};
    }
    Lanes min(Lanes other) const noexcept {
        return apply(other, [](float a, float b) { return a < b ? a : b; });
    }
    Lanes max(Lanes other) const noexcept {
        return apply(other, [](float a, float b) { return a > b ? a : b; });
    }
    Lanes minus(Lanes other) const noexcept {
        return apply(other, [](float a, float b) { return a - b; });
    }
    Lanes magnitude() const noexcept {
        return apply(*this, [](float a, float) { return std::abs(a); });
    }
    Lanes midpoint(Lanes other) const noexcept {
        return apply(other, [](float a, float b) { return a * 0.5f + b * 0.5f; });
    }
    void store(float* to) const noexcept {
        std::copy(value, value + 4, to);
    }
    template <class Operation>
    Lanes apply(Lanes other, Operation operation) const noexcept {
        Lanes made{};
        for (int lane = 0; lane < 4; ++lane) {
            made.value[lane] = operation(value[lane], other.value[lane]);
        }
        return made;
    }
#endif
    // Lanes 0 to 2 into to[0..2].
    void storeXyz(float* to) const noexcept {
        float lanes[4];
        store(lanes);
        std::copy(lanes, lanes + 3, to);
    }
    // The largest of lanes 0 to 2.
    float largest() const noexcept {
        float lanes[4];
        store(lanes);
        return std::max({lanes[0], lanes[1], lanes[2]});
    }
};

// The box around some references and the box around their centres.
// Trivially constructed, so that a split readies only the bins it uses.
struct Extent {
    Lanes lower;
    Lanes upper;
    Lanes centreLower;
    Lanes centreUpper;

    static Extent empty() noexcept {
        return {Lanes::fill(kInfinity), Lanes::fill(-kInfinity), Lanes::fill(kInfinity),
                Lanes::fill(-kInfinity)};
    }

    void take(Lanes boxLower, Lanes boxUpper) noexcept {
        take(boxLower, boxUpper, boxLower.midpoint(boxUpper));
    }
    void take(Lanes boxLower, Lanes boxUpper, Lanes centre) noexcept {
        lower = lower.min(boxLower);
        upper = upper.max(boxUpper);
        centreLower = centreLower.min(centre);
        centreUpper = centreUpper.max(centre);
    }
    void take(const Extent& other) noexcept {
        lower = lower.min(other.lower);
        upper = upper.max(other.upper);
        centreLower = centreLower.min(other.centreLower);
        centreUpper = centreUpper.max(other.centreUpper);
    }
    double halfArea() const noexcept {
        float low[4];
        float high[4];
        lower.store(low);
        upper.store(high);
        return detail::halfArea(low, high);
    }
};

}  // namespace

#if defined(__SSE2__)
// rayMeetsTriangle on four triangles at once, operation for operation in
// the same order (the library is built without contraction), so each lane
// rounds exactly as the scalar test up to its hit check (hitLiesOnTriangle),
// which the caller runs on the lanes that pass: bit k of the result says
// triangle k met the ray at t[k] >= lower. NaN fails every comparison in both.
class FourTriangles {
public:
    // `origin` holds the ray's origin in lanes 0 to 2 and 0 in lane 3,
    // `originReach` its largest |coordinate|.
    FourTriangles(const Ray& ray, __m128 origin, float originReach, float lower) noexcept
        : mOx(_mm_set1_ps(ray.origin.x)),
          mOy(_mm_set1_ps(ray.origin.y)),
          mOz(_mm_set1_ps(ray.origin.z)),
          mDx(_mm_set1_ps(ray.direction.x)),
          mDy(_mm_set1_ps(ray.direction.y)),
          mDz(_mm_set1_ps(ray.direction.z)),
          mLower(_mm_set1_ps(lower)),
          mOrigin(origin),
          mDirection(_mm_setr_ps(ray.direction.x, ray.direction.y, ray.direction.z, 0.0f)),
          mOriginReach(originReach) {}

    // `rows` point at four records that start with corner, e1 and e2 as nine
    // consecutive floats followed by at least three more bytes of the record.
    // Inlined into the leaf loop whatever the optimisation level, which
    // keeps the ray's lanes in registers across a leaf.
    [[gnu::always_inline]] int test(const float* const rows[4], float t[4]) const noexcept {
        // Columns from rows: px py pz e1x | e1y e1z e2x e2y | e2x e2y e2z -.
        __m128 px = _mm_loadu_ps(rows[0]);
        __m128 py = _mm_loadu_ps(rows[1]);
        __m128 pz = _mm_loadu_ps(rows[2]);
        __m128 e1x = _mm_loadu_ps(rows[3]);
        _MM_TRANSPOSE4_PS(px, py, pz, e1x);
        __m128 e1y = _mm_loadu_ps(rows[0] + 4);
        __m128 e1z = _mm_loadu_ps(rows[1] + 4);
        __m128 e2x = _mm_loadu_ps(rows[2] + 4);
        __m128 e2y = _mm_loadu_ps(rows[3] + 4);
        _MM_TRANSPOSE4_PS(e1y, e1z, e2x, e2y);
        __m128 spareX = _mm_loadu_ps(rows[0] + 6);
        __m128 spareY = _mm_loadu_ps(rows[1] + 6);
        __m128 e2z = _mm_loadu_ps(rows[2] + 6);
        __m128 spare = _mm_loadu_ps(rows[3] + 6);
        _MM_TRANSPOSE4_PS(spareX, spareY, e2z, spare);

        const __m128 hx = sub(mul(mDy, e2z), mul(mDz, e2y));
        const __m128 hy = sub(mul(mDz, e2x), mul(mDx, e2z));
        const __m128 hz = sub(mul(mDx, e2y), mul(mDy, e2x));
        const __m128 det = dot(e1x, e1y, e1z, hx, hy, hz);
        const __m128 epsilon = _mm_set1_ps(kParallel);
        __m128 rejected =
            _mm_and_ps(_mm_cmpgt_ps(det, _mm_sub_ps(_mm_setzero_ps(), epsilon)), _mm_cmplt_ps(det, epsilon));
        const __m128 inverse = _mm_div_ps(_mm_set1_ps(1.0f), det);
        const __m128 sx = sub(mOx, px);
        const __m128 sy = sub(mOy, py);
        const __m128 sz = sub(mOz, pz);
        const __m128 u = mul(dot(sx, sy, sz, hx, hy, hz), inverse);
        const __m128 zero = _mm_setzero_ps();
        const __m128 one = _mm_set1_ps(1.0f);
        rejected = _mm_or_ps(rejected, _mm_or_ps(_mm_cmplt_ps(u, zero), _mm_cmpgt_ps(u, one)));
        const __m128 qx = sub(mul(sy, e1z), mul(sz, e1y));
        const __m128 qy = sub(mul(sz, e1x), mul(sx, e1z));
        const __m128 qz = sub(mul(sx, e1y), mul(sy, e1x));
        const __m128 v = mul(dot(mDx, mDy, mDz, qx, qy, qz), inverse);
        rejected = _mm_or_ps(rejected, _mm_or_ps(_mm_cmplt_ps(v, zero), _mm_cmpgt_ps(_mm_add_ps(u, v), one)));
        const __m128 distance = mul(dot(e2x, e2y, e2z, qx, qy, qz), inverse);
        _mm_storeu_ps(t, distance);
        return _mm_movemask_ps(_mm_andnot_ps(rejected, _mm_cmpge_ps(distance, mLower)));
    }

    // hitLiesInBox for the triangle whose corner and edges start at `row`,
    // the three axes in lanes with the same operations: the same verdict.
    [[gnu::always_inline]] bool liesInBox(const float* row, float t) const noexcept {
        const __m128 p = Lanes::load(row).value;
        const __m128 q = _mm_add_ps(p, Lanes::load(row + 3).value);
        const __m128 r = _mm_add_ps(p, Lanes::load(row + 6).value);
        const __m128 sign = _mm_set1_ps(-0.0f);
        __m128 reach =
            _mm_max_ps(_mm_max_ps(_mm_andnot_ps(sign, p), _mm_andnot_ps(sign, q)), _mm_andnot_ps(sign, r));
        reach = _mm_max_ps(reach, _mm_shuffle_ps(reach, reach, _MM_SHUFFLE(1, 0, 3, 2)));
        reach = _mm_max_ps(reach, _mm_shuffle_ps(reach, reach, _MM_SHUFFLE(2, 3, 0, 1)));
        const __m128 slack = _mm_set1_ps(kHitSlack * (mOriginReach + _mm_cvtss_f32(reach)));
        const __m128 point = _mm_add_ps(mOrigin, _mm_mul_ps(mDirection, _mm_set1_ps(t)));
        const __m128 low = _mm_sub_ps(_mm_min_ps(_mm_min_ps(p, q), r), slack);
        const __m128 high = _mm_add_ps(_mm_max_ps(_mm_max_ps(p, q), r), slack);
        return (_mm_movemask_ps(_mm_and_ps(_mm_cmpge_ps(point, low), _mm_cmple_ps(point, high))) & 7) == 7;
    }

private:
    static __m128 mul(__m128 a, __m128 b) noexcept { return _mm_mul_ps(a, b); }
    static __m128 sub(__m128 a, __m128 b) noexcept { return _mm_sub_ps(a, b); }
    // (ax bx + ay by) + az bz, as Vector::dot adds.
    static __m128 dot(__m128 ax, __m128 ay, __m128 az, __m128 bx, __m128 by, __m128 bz) noexcept {
        return _mm_add_ps(_mm_add_ps(mul(ax, bx), mul(ay, by)), mul(az, bz));
    }

    __m128 mOx, mOy, mOz;
    __m128 mDx, mDy, mDz;
    __m128 mLower;
    __m128 mOrigin;
    __m128 mDirection;
    float mOriginReach;
};
#endif

// Splits nodes recursively; depth is bounded by kMaxDepth. Each split bins
// its references once and partitions them once: the children's boxes come
// from the bins.
class TriangleHierarchy::Builder {
public:
    Builder(std::vector<Reference>& references, std::vector<Node>& nodes) noexcept
        : mReferences(references), mNodes(nodes) {}

    void split(std::uint32_t index, std::uint32_t begin, std::uint32_t end, int depth, const Extent& extent) {
        Node& node = mNodes[index];
        const std::uint32_t count = end - begin;
        extent.lower.storeXyz(node.lower);
        extent.upper.storeXyz(node.upper);
        node.first = begin;
        node.count = count;
        if (count <= kSmallLeaf || depth >= kMaxDepth) {
            return;
        }
        // Bin the centres along their longest axis; extents in double, so
        // neither huge nor tiny coordinates overflow the bin arithmetic.
        float centreLower[4];
        float centreUpper[4];
        extent.centreLower.store(centreLower);
        extent.centreUpper.store(centreUpper);
        int axis = 0;
        double longest = -1.0;
        for (int other = 0; other < 3; ++other) {
            const double length = double{centreUpper[other]} - centreLower[other];
            if (length > longest) {
                longest = length;
                axis = other;
            }
        }
        if (!(longest > 0.0)) {
            // Every centre coincides: no plane separates them.
            return;
        }
        // Fewer bins for small nodes: filling and sweeping the bins is the
        // cost that does not shrink with the node.
        const int binCount = count < 16 ? 4 : count < 64 ? 8 : kBins;
        // Two sets of bins, taking alternate references: neighbours in the
        // mesh mostly share a bin, and one set would chain each update to the
        // last through memory.
        Extent bins[2][kBins];
        std::uint32_t counts[2][kBins];
        for (int b = 0; b < binCount; ++b) {
            bins[0][b] = bins[1][b] = Extent::empty();
            counts[0][b] = counts[1][b] = 0;
        }
        const auto fill = [&](auto low, auto scale) {
            using Real = decltype(low);
            float centre[4];
            for (std::uint32_t k = begin; k < end; ++k) {
                Reference& reference = mReferences[k];
                const Lanes boxLower = Lanes::load(reference.lower);
                const Lanes boxUpper = Lanes::load(reference.upper);
                const Lanes middle = boxLower.midpoint(boxUpper);
                middle.store(centre);
                const int bin =
                    std::min(binCount - 1, static_cast<int>((static_cast<Real>(centre[axis]) - low) * scale));
                reference.bin = static_cast<std::uint32_t>(bin);
                bins[k & 1][bin].take(boxLower, boxUpper, middle);
                ++counts[k & 1][bin];
            }
        };
        // In float when no step can overflow, which is faster; else in
        // double, so that neither huge nor tiny extents do.
        const double low = centreLower[axis];
        const double scale = binCount / longest;
        if (longest <= 1e30 && scale <= 1e30) {
            fill(static_cast<float>(low), static_cast<float>(scale));
        } else {
            fill(low, scale);
        }
        for (int b = 0; b < binCount; ++b) {
            bins[0][b].take(bins[1][b]);
            counts[0][b] += counts[1][b];
        }
        // Surface-area cost of each plane between bins: the left sides by a
        // sweep from the left, the right sides on the way back.
        double leftCost[kBins];
        std::uint32_t leftCount[kBins];
        Extent sweep = Extent::empty();
        std::uint32_t swept = 0;
        for (int b = 0; b < binCount - 1; ++b) {
            sweep.take(bins[0][b]);
            swept += counts[0][b];
            leftCost[b] = sweep.halfArea() * swept;
            leftCount[b] = swept;
        }
        sweep = Extent::empty();
        swept = 0;
        double bestCost = std::numeric_limits<double>::infinity();
        int bestPlane = -1;
        for (int b = binCount - 1; b > 0; --b) {
            sweep.take(bins[0][b]);
            swept += counts[0][b];
            if (swept == 0 || leftCount[b - 1] == 0) {
                continue;
            }
            const double cost = leftCost[b - 1] + sweep.halfArea() * swept;
            if (cost < bestCost) {
                bestCost = cost;
                bestPlane = b;
            }
        }
        const double area = extent.halfArea();
        if (count <= kLargestLeaf && !(kVisitCost * area + bestCost < area * count)) {
            return;
        }
        const auto child = static_cast<std::uint32_t>(mNodes.size());
        mNodes.resize(mNodes.size() + 2);
        mNodes[index].first = child;
        mNodes[index].count = 0;
        if (bestPlane > 0) {
            const auto middle = static_cast<std::uint32_t>(
                std::partition(mReferences.begin() + begin, mReferences.begin() + end,
                               [&](const Reference& reference) {
                                   return reference.bin < static_cast<std::uint32_t>(bestPlane);
                               }) -
                mReferences.begin());
            Extent leftSide = Extent::empty();
            Extent rightSide = Extent::empty();
            for (int b = 0; b < binCount; ++b) {
                (b < bestPlane ? leftSide : rightSide).take(bins[0][b]);
            }
            split(child, begin, middle, depth + 1, leftSide);
            split(child + 1, middle, end, depth + 1, rightSide);
            return;
        }
        // No plane between bins separates anything (rounding put every centre
        // in one bin): halves by centre instead.
        const std::uint32_t middle = begin + count / 2;
        std::nth_element(
            mReferences.begin() + begin, mReferences.begin() + middle, mReferences.begin() + end,
            [axis](const Reference& a, const Reference& b) { return a.centre(axis) < b.centre(axis); });
        split(child, begin, middle, depth + 1, enclose(begin, middle));
        split(child + 1, middle, end, depth + 1, enclose(middle, end));
    }

    Extent enclose(std::uint32_t begin, std::uint32_t end) const noexcept {
        Extent extent = Extent::empty();
        for (std::uint32_t k = begin; k < end; ++k) {
            const Reference& reference = mReferences[k];
            extent.take(Lanes::load(reference.lower), Lanes::load(reference.upper));
        }
        return extent;
    }

private:
    std::vector<Reference>& mReferences;
    std::vector<Node>& mNodes;
};

void TriangleHierarchy::build(const std::vector<Source>& sources) {
    clear();
    std::vector<Reference> references;
    references.reserve(sources.size());
    // The largest |coordinate| of the tree's corners and edges, lane by lane.
    Lanes reach = Lanes::fill(0.0f);
    Lanes edge = Lanes::fill(0.0f);
    for (std::size_t k = 0; k < sources.size(); ++k) {
        const Source& source = sources[k];
        const Vector3f e1 = source.q - source.p;
        const Vector3f e2 = source.r - source.p;
        // A sliver's hits may lie anywhere along the ray, so it has no box.
        if (!isWellShaped(source.p, e1, e2)) {
            mTriangles.push_back(Triangle{source.p, e1, e2, source.order});
            continue;
        }
        // Each corner's load takes in the next field, which lane 3 drops.
        static_assert(sizeof(Source) == 40 && offsetof(Source, q) == 12 && offsetof(Source, r) == 24,
                      "corners load as four lanes each");
        const Lanes p = Lanes::load(&source.p.x);
        const Lanes q = Lanes::load(&source.q.x);
        const Lanes r = Lanes::load(&source.r.x);
        Reference reference{};
        p.min(q).min(r).storeXyz(reference.lower);
        p.max(q).max(r).storeXyz(reference.upper);
        reach = reach.max(p.magnitude()).max(q.magnitude()).max(r.magnitude());
        edge = edge.max(q.minus(p).magnitude()).max(r.minus(p).magnitude());
        reference.source = static_cast<std::uint32_t>(k);
        references.push_back(reference);
    }
    mReach = reach.largest();
    mEdge = edge.largest();
    mLooseCount = static_cast<std::uint32_t>(mTriangles.size());
    if (!references.empty()) {
        mNodes.reserve(2 * references.size());
        mNodes.resize(1);
        Builder builder(references, mNodes);
        const auto count = static_cast<std::uint32_t>(references.size());
        builder.split(0, 0, count, 0, builder.enclose(0, count));
    }
    for (Node& node : mNodes) {
        if (node.count != 0) {
            node.first += mLooseCount;
        }
    }
    mTriangles.reserve(mTriangles.size() + references.size());
    for (const Reference& reference : references) {
        const Source& source = sources[reference.source];
        mTriangles.push_back(Triangle{source.p, source.q - source.p, source.r - source.p, source.order});
    }
    mNodes.shrink_to_fit();
    mTriangles.shrink_to_fit();
    // The largest power of two that origin and direction parts may reach
    // together and still fit.
    mQuickLimit = kNoLimit;
    for (float limit = 0x1p100f; limit >= 1.0f && mQuickLimit == kNoLimit; limit *= 0.5f) {
        mQuickLimit = fits(limit, limit) ? limit : kNoLimit;
    }
}

void TriangleHierarchy::clear() noexcept {
    mNodes.clear();
    mTriangles.clear();
    mLooseCount = 0;
    mReach = 0.0f;
    mEdge = 0.0f;
    mQuickLimit = kNoLimit;
}

bool TriangleHierarchy::fits(const Ray& ray) const noexcept {
    double origin = 0.0;
    double direction = 0.0;
    for (int axis = 0; axis < 3; ++axis) {
        if (!std::isfinite(ray.origin[axis]) || !std::isfinite(ray.direction[axis])) {
            return false;
        }
        origin = std::max(origin, double{std::abs(ray.origin[axis])});
        direction = std::max(direction, double{std::abs(ray.direction[axis])});
    }
    return fits(origin, direction);
}

bool TriangleHierarchy::fits(double origin, double direction) const noexcept {
    // Every product in the test is of at most three factors among the
    // direction, an edge and origin - corner, summed at most six times over.
    const double edge = mEdge;
    const double offset = origin + mReach;
    const double largest = std::max({direction, edge, offset});
    constexpr double kRoom = std::numeric_limits<float>::max() / 8.0;
    return 6.0 * largest * edge * std::max(direction, edge) <= kRoom &&
           6.0 * offset * edge * direction <= kRoom && 6.0 * offset * edge * edge <= kRoom;
}

TriangleHierarchy::Probe::Probe(const Ray& ray) noexcept : mRay(ray) {
    mOriginReach = largestPart(ray.origin);
    mLargest = std::max(mOriginReach, largestPart(ray.direction));
    // A sum is NaN when a part is (or infinities cancel, which answers()
    // refuses as well).
    if (std::isnan(ray.origin.x + ray.origin.y + ray.origin.z + ray.direction.x + ray.direction.y +
                   ray.direction.z)) {
        mLargest = kInfinity;
    }
#if defined(__SSE2__)
    // The three axes in three lanes, the inverse rates from one division. A
    // lane that bounds nothing multiplies by 0 and is then opened to
    // (-inf, inf): the fourth, a parallel one (checked apart) and one whose
    // rate is so small that its inverse overflows.
    const __m128 threeLanes = xyzLanes();
    mOrigin = _mm_setr_ps(ray.origin.x, ray.origin.y, ray.origin.z, 0.0f);
    const __m128 direction = _mm_setr_ps(ray.direction.x, ray.direction.y, ray.direction.z, 1.0f);
    const __m128 reciprocal = _mm_div_ps(_mm_set1_ps(1.0f), direction);
    mParallel = _mm_and_ps(_mm_cmpeq_ps(direction, _mm_setzero_ps()), threeLanes);
    mFree = _mm_or_ps(_mm_cmpeq_ps(_mm_andnot_ps(_mm_set1_ps(-0.0f), reciprocal), _mm_set1_ps(kInfinity)),
                      _mm_andnot_ps(threeLanes, _mm_castsi128_ps(_mm_set1_epi32(-1))));
    mInverse = _mm_andnot_ps(mFree, reciprocal);
    mAnyParallel = _mm_movemask_ps(mParallel) != 0;
    mBelow = _mm_and_ps(mFree, _mm_set1_ps(-kInfinity));
    mAbove = _mm_and_ps(mFree, _mm_set1_ps(kInfinity));
#else
    for (int axis = 0; axis < 3; ++axis) {
        mParallel[axis] = ray.direction[axis] == 0.0f;
        mInverse[axis] = 1.0f / ray.direction[axis];
        // A direction so small that its inverse overflows: the slab bounds
        // nothing rather than something wrong.
        mUnbounded[axis] = !mParallel[axis] && !std::isfinite(mInverse[axis]);
    }
#endif
}

bool TriangleHierarchy::intersect(const Probe& probe, const Start& from, float lower, float upper,
                                  bool nearest, float& t, math::Vector3<float>& normal) const noexcept {
    const float slack = slackFor(probe);
    const Ray& ray = probe.mRay;
    float best = upper;

    std::int64_t bestOrder = -1;
    const Triangle* winner = nullptr;
    // The per-triangle loop keeps the last of its accepted triangles, which is
    // the one of smallest t and, of equal t, latest in order: the same
    // choice, made in any visiting order.
    static_assert(sizeof(Triangle) == 40 && offsetof(Triangle, e1) == 12 && offsetof(Triangle, e2) == 24,
                  "four-wide tests read corner and edges as nine floats");
    // Takes an accepted triangle at `candidate` if it beats the best so far.
    const auto take = [&](const Triangle& triangle, float candidate) {
        if (candidate < best || (candidate == best && triangle.order > bestOrder)) {
            best = candidate;
            bestOrder = triangle.order;
            winner = &triangle;
            return !nearest;
        }
        return false;
    };
    // Tests triangles [begin, end); true when a query without `nearest` is answered.
#if defined(__SSE2__)
    const FourTriangles four(ray, probe.mOrigin, probe.mOriginReach, lower);
    const auto testRange = [&](std::uint32_t begin, std::uint32_t end) {
        // The tree holds well-shaped triangles only: their check is the box's.
        const bool tree = begin >= mLooseCount;
        for (std::uint32_t k = begin; k < end; k += 4) {
            // A short last group repeats its last triangle, which then ties
            // with itself and changes nothing.
            const Triangle* first = mTriangles.data() + k;
            const Triangle* last = mTriangles.data() + end - 1;
            const Triangle* group[4] = {first, std::min(first + 1, last), std::min(first + 2, last),
                                        std::min(first + 3, last)};
            const float* rows[4] = {&group[0]->p.x, &group[1]->p.x, &group[2]->p.x, &group[3]->p.x};
            float distances[4];
            for (int met = four.test(rows, distances); met != 0; met &= met - 1) {
                const int lane = __builtin_ctz(static_cast<unsigned int>(met));
                const Triangle& triangle = *group[lane];
                // The hit check of rayMeetsTriangle, which the lanes leave out.
                const float distance = distances[lane];
                if (distance <= best &&
                    (tree ? four.liesInBox(rows[lane], distance)
                          : hitLiesOnTriangle(ray, triangle.p, triangle.e1, triangle.e2, distance)) &&
                    take(triangle, distance)) {
                    return true;
                }
            }
        }
        return false;
    };
#else
    const auto testRange = [&](std::uint32_t begin, std::uint32_t end) {
        for (std::uint32_t k = begin; k < end; ++k) {
            float candidate = 0.0f;
            const Triangle& triangle = mTriangles[k];
            if (rayMeetsTriangle(ray, triangle.p, triangle.e1, triangle.e2, candidate) &&
                candidate >= lower && take(triangle, candidate)) {
                return true;
            }
        }
        return false;
    };
#endif
    const auto finish = [&]() {
        if (winner == nullptr) {
            return false;
        }
        t = best;
        normal = winner->e1.cross(winner->e2);
        return true;
    };

    if (testRange(0, mLooseCount) || !from.root) {
        return finish();
    }

    struct Entry {
        std::uint32_t node;
        float entry;
    };
    // One pending sibling per level at most.
    Entry stack[kMaxDepth + 1];
    stack[0] = Entry{0, from.entry};
    int top = 1;
    while (top > 0) {
        const Entry pending = stack[--top];
        // Strictly beyond: a triangle at exactly `best` may still win the tie.
        if (pending.entry > best) {
            continue;
        }
        const Node* node = &mNodes[pending.node];
        while (node != nullptr && node->count == 0) {
            const Node* a = &mNodes[node->first];
            const Node* b = a + 1;
            float entries[2];
            const int met = enterPair(probe, a, slack, lower, best, entries);
            float entryA = entries[0];
            float entryB = entries[1];
            if (met == 3) {
                if (entryB < entryA) {
                    std::swap(a, b);
                    std::swap(entryA, entryB);
                }
                stack[top++] = Entry{static_cast<std::uint32_t>(b - mNodes.data()), entryB};
                node = a;
            } else {
                node = met == 1 ? a : met == 2 ? b : nullptr;
            }
        }
        if (node == nullptr) {
            continue;
        }
        if (testRange(node->first, node->first + node->count)) {
            return finish();
        }
    }
    return finish();
}

std::size_t TriangleHierarchy::getByteSize() const noexcept {
    return mNodes.capacity() * sizeof(Node) + mTriangles.capacity() * sizeof(Triangle);
}

}  // namespace nevrik::geometry::detail
