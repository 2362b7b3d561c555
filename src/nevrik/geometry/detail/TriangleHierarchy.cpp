#include "nevrik/geometry/detail/TriangleHierarchy.h"

#include "nevrik/geometry/detail/RayTriangle.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace nevrik::geometry::detail {
namespace {

using Vector3f = math::Vector3<float>;

constexpr int kBins = 16;
// Nodes this small become leaves without asking the heuristic; up to
// kLargestLeaf triangles stay together when splitting would not pay.
constexpr std::uint32_t kSmallLeaf = 2;
constexpr std::uint32_t kLargestLeaf = 6;
// A triangle whose corner angle at P has a sine below this is a sliver: its
// determinant is small for every ray, so the test's rounding can move its hit
// anywhere and no box may stand for it.
constexpr double kSliver = 1.0 / 256.0;
// Boxes are widened by this fraction of (largest |origin coordinate| + reach)
// when a ray is tested against them. The per-triangle test rounds relative to
// those magnitudes; the slack keeps every triangle it can accept inside its
// box unless the ray grazes the triangle's plane to within a few hundredths of
// a radian, where the test's own answer is ruled by rounding.
constexpr float kSlack = 1.0f / 16384.0f;
constexpr float kInfinity = std::numeric_limits<float>::infinity();

bool isFinite(const Vector3f& v) noexcept {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Whether a ray's test against the triangle can be trusted to land inside
// the triangle's box (see kSliver).
bool isWellShaped(const Vector3f& p, const Vector3f& q, const Vector3f& r, const Vector3f& e1,
                  const Vector3f& e2) noexcept {
    if (!isFinite(p) || !isFinite(q) || !isFinite(r) || !isFinite(e1) || !isFinite(e2)) {
        return false;
    }
    using Vector3d = math::Vector3<double>;
    const Vector3d a(e1.x, e1.y, e1.z);
    const Vector3d b(e2.x, e2.y, e2.z);
    return a.cross(b).length() > kSliver * a.length() * b.length();
}

double halfArea(const float lower[3], const float upper[3]) noexcept {
    const double x = double{upper[0]} - lower[0];
    const double y = double{upper[1]} - lower[1];
    const double z = double{upper[2]} - lower[2];
    return x * y + y * z + z * x;
}

}  // namespace

struct TriangleHierarchy::Reference {
    float lower[3];
    float upper[3];
    float centre[3];
    std::uint32_t source;
};

// Splits nodes recursively; depth is bounded by kMaxDepth.
class TriangleHierarchy::Builder {
public:
    Builder(std::vector<Reference>& references, std::vector<Node>& nodes) noexcept
        : mReferences(references), mNodes(nodes) {}

    void split(std::uint32_t index, std::uint32_t begin, std::uint32_t end, int depth) {
        Node box = enclose(begin, end);
        const std::uint32_t count = end - begin;
        box.first = begin;
        box.count = count;
        mNodes[index] = box;
        if (count <= kSmallLeaf || depth >= kMaxDepth) {
            return;
        }
        // Bin the centres along their longest axis; extents in double, so
        // neither huge nor tiny coordinates overflow the bin arithmetic.
        double low[3];
        double high[3];
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = high[axis] = mReferences[begin].centre[axis];
        }
        for (std::uint32_t k = begin; k < end; ++k) {
            for (int axis = 0; axis < 3; ++axis) {
                low[axis] = std::min(low[axis], double{mReferences[k].centre[axis]});
                high[axis] = std::max(high[axis], double{mReferences[k].centre[axis]});
            }
        }
        int axis = 0;
        for (int other = 1; other < 3; ++other) {
            if (high[other] - low[other] > high[axis] - low[axis]) {
                axis = other;
            }
        }
        const double extent = high[axis] - low[axis];
        if (!(extent > 0.0)) {
            // Every centre coincides: no plane separates them.
            return;
        }
        const double scale = kBins / extent;
        const auto binOf = [&](const Reference& reference) {
            const double offset = (reference.centre[axis] - low[axis]) * scale;
            return std::min(kBins - 1, static_cast<int>(offset));
        };
        struct Bin {
            float lower[3] = {kInfinity, kInfinity, kInfinity};
            float upper[3] = {-kInfinity, -kInfinity, -kInfinity};
            std::uint32_t count = 0;
            void take(const float otherLower[3], const float otherUpper[3]) noexcept {
                for (int a = 0; a < 3; ++a) {
                    lower[a] = std::min(lower[a], otherLower[a]);
                    upper[a] = std::max(upper[a], otherUpper[a]);
                }
            }
        };
        Bin bins[kBins];
        for (std::uint32_t k = begin; k < end; ++k) {
            Bin& bin = bins[binOf(mReferences[k])];
            bin.take(mReferences[k].lower, mReferences[k].upper);
            ++bin.count;
        }
        // Surface-area cost of each plane between bins: left sums by a sweep
        // from the left, right sums on the way back.
        double leftCost[kBins] = {};
        Bin sweep;
        for (int b = 0; b < kBins - 1; ++b) {
            sweep.take(bins[b].lower, bins[b].upper);
            sweep.count += bins[b].count;
            leftCost[b] = sweep.count > 0 ? halfArea(sweep.lower, sweep.upper) * sweep.count : 0.0;
        }
        sweep = Bin();
        double bestCost = std::numeric_limits<double>::infinity();
        int bestPlane = -1;
        for (int b = kBins - 1; b > 0; --b) {
            sweep.take(bins[b].lower, bins[b].upper);
            sweep.count += bins[b].count;
            const std::uint32_t left = count - sweep.count;
            if (sweep.count == 0 || left == 0) {
                continue;
            }
            const double cost = leftCost[b - 1] + halfArea(sweep.lower, sweep.upper) * sweep.count;
            if (cost < bestCost) {
                bestCost = cost;
                bestPlane = b;
            }
        }
        // A visit costs about one triangle test.
        const double area = halfArea(box.lower, box.upper);
        if (count <= kLargestLeaf && !(area + bestCost < area * count)) {
            return;
        }
        std::uint32_t middle = begin;
        if (bestPlane > 0) {
            middle = static_cast<std::uint32_t>(
                std::partition(mReferences.begin() + begin, mReferences.begin() + end,
                               [&](const Reference& reference) { return binOf(reference) < bestPlane; }) -
                mReferences.begin());
        }
        if (middle == begin || middle == end) {
            middle = begin + count / 2;
            std::nth_element(
                mReferences.begin() + begin, mReferences.begin() + middle, mReferences.begin() + end,
                [axis](const Reference& a, const Reference& b) { return a.centre[axis] < b.centre[axis]; });
        }
        const auto child = static_cast<std::uint32_t>(mNodes.size());
        mNodes.resize(mNodes.size() + 2);
        mNodes[index].first = child;
        mNodes[index].count = 0;
        split(child, begin, middle, depth + 1);
        split(child + 1, middle, end, depth + 1);
    }

private:
    Node enclose(std::uint32_t begin, std::uint32_t end) const noexcept {
        Node box{};
        for (int axis = 0; axis < 3; ++axis) {
            box.lower[axis] = kInfinity;
            box.upper[axis] = -kInfinity;
        }
        for (std::uint32_t k = begin; k < end; ++k) {
            for (int axis = 0; axis < 3; ++axis) {
                box.lower[axis] = std::min(box.lower[axis], mReferences[k].lower[axis]);
                box.upper[axis] = std::max(box.upper[axis], mReferences[k].upper[axis]);
            }
        }
        return box;
    }

    std::vector<Reference>& mReferences;
    std::vector<Node>& mNodes;
};

void TriangleHierarchy::build(const std::vector<Source>& sources) {
    clear();
    std::vector<Reference> references;
    references.reserve(sources.size());
    for (std::size_t k = 0; k < sources.size(); ++k) {
        const Source& source = sources[k];
        const Vector3f e1 = source.q - source.p;
        const Vector3f e2 = source.r - source.p;
        if (!isWellShaped(source.p, source.q, source.r, e1, e2)) {
            mTriangles.push_back(Triangle{source.p, e1, e2, source.order});
            continue;
        }
        Reference reference{};
        for (int axis = 0; axis < 3; ++axis) {
            const float a = source.p[axis];
            const float b = source.q[axis];
            const float c = source.r[axis];
            reference.lower[axis] = std::min({a, b, c});
            reference.upper[axis] = std::max({a, b, c});
            // Halves first: the sum of two huge coordinates would overflow.
            reference.centre[axis] = reference.lower[axis] * 0.5f + reference.upper[axis] * 0.5f;
            mReach = std::max({mReach, std::abs(a), std::abs(b), std::abs(c)});
            mEdge = std::max({mEdge, std::abs(e1[axis]), std::abs(e2[axis])});
        }
        reference.source = static_cast<std::uint32_t>(k);
        references.push_back(reference);
    }
    mLooseCount = static_cast<std::uint32_t>(mTriangles.size());
    if (!references.empty()) {
        mNodes.resize(1);
        Builder(references, mNodes).split(0, 0, static_cast<std::uint32_t>(references.size()), 0);
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
}

void TriangleHierarchy::clear() noexcept {
    mNodes.clear();
    mTriangles.clear();
    mLooseCount = 0;
    mReach = 0.0f;
    mEdge = 0.0f;
}

bool TriangleHierarchy::answers(const Ray& ray) const noexcept {
    double origin = 0.0;
    double direction = 0.0;
    for (int axis = 0; axis < 3; ++axis) {
        if (!std::isfinite(ray.origin[axis]) || !std::isfinite(ray.direction[axis])) {
            return false;
        }
        origin = std::max(origin, double{std::abs(ray.origin[axis])});
        direction = std::max(direction, double{std::abs(ray.direction[axis])});
    }
    // Every product in the test is of at most three factors among the
    // direction, an edge and origin - corner, summed at most six times over.
    const double edge = mEdge;
    const double offset = origin + mReach;
    const double largest = std::max({direction, edge, offset});
    constexpr double kRoom = std::numeric_limits<float>::max() / 8.0;
    return 6.0 * largest * edge * std::max(direction, edge) <= kRoom &&
           6.0 * offset * edge * direction <= kRoom && 6.0 * offset * edge * edge <= kRoom;
}

bool TriangleHierarchy::intersect(const Ray& ray, float lower, float upper, bool nearest, float& t,
                                  math::Vector3<float>& normal) const noexcept {
    float best = upper;
    std::int64_t bestOrder = -1;
    const Triangle* winner = nullptr;
    // The per-triangle loop keeps the last of its accepted triangles, which is
    // the one of smallest t and, of equal t, latest in order: the same
    // choice, made in any visiting order.
    const auto consider = [&](const Triangle& triangle) {
        float candidate = 0.0f;
        if (!rayMeetsTriangle(ray, triangle.p, triangle.e1, triangle.e2, candidate) ||
            !(candidate >= lower)) {
            return false;
        }
        if (candidate < best || (candidate == best && triangle.order > bestOrder)) {
            best = candidate;
            bestOrder = triangle.order;
            winner = &triangle;
            return !nearest;
        }
        return false;
    };
    const auto finish = [&]() {
        if (winner == nullptr) {
            return false;
        }
        t = best;
        normal = winner->e1.cross(winner->e2);
        return true;
    };

    for (std::uint32_t k = 0; k < mLooseCount; ++k) {
        if (consider(mTriangles[k])) {
            return finish();
        }
    }
    if (mNodes.empty()) {
        return finish();
    }

    const float origin[3] = {ray.origin.x, ray.origin.y, ray.origin.z};
    const float direction[3] = {ray.direction.x, ray.direction.y, ray.direction.z};
    float inverse[3];
    bool parallel[3];
    bool unbounded[3];
    for (int axis = 0; axis < 3; ++axis) {
        parallel[axis] = direction[axis] == 0.0f;
        inverse[axis] = 1.0f / direction[axis];
        // A direction so small that its inverse overflows: the slab bounds
        // nothing rather than something wrong.
        unbounded[axis] = !parallel[axis] && !std::isfinite(inverse[axis]);
    }
    const float slack =
        kSlack * (std::max({std::abs(origin[0]), std::abs(origin[1]), std::abs(origin[2])}) + mReach);
    // Whether the ray can meet anything in the widened box within
    // [lower, best]; gives the entry parameter. Without NaN inputs (the
    // collider refuses non-finite rays here) no bound comes out NaN.
    const auto enter = [&](const Node& node, float& entry) {
        float near = lower;
        float far = best;
        for (int axis = 0; axis < 3; ++axis) {
            const float low = node.lower[axis] - slack;
            const float high = node.upper[axis] + slack;
            if (parallel[axis]) {
                if (!(origin[axis] >= low && origin[axis] <= high)) {
                    return false;
                }
                continue;
            }
            if (unbounded[axis]) {
                continue;
            }
            float t0 = (low - origin[axis]) * inverse[axis];
            float t1 = (high - origin[axis]) * inverse[axis];
            if (t0 > t1) {
                std::swap(t0, t1);
            }
            near = t0 > near ? t0 : near;
            far = t1 < far ? t1 : far;
        }
        entry = near;
        return near <= far;
    };

    struct Entry {
        std::uint32_t node;
        float entry;
    };
    // One pending sibling per level at most.
    Entry stack[kMaxDepth + 1];
    int top = 0;
    float rootEntry = 0.0f;
    if (enter(mNodes[0], rootEntry)) {
        stack[top++] = Entry{0, rootEntry};
    }
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
            float entryA = 0.0f;
            float entryB = 0.0f;
            const bool hitA = enter(*a, entryA);
            const bool hitB = enter(*b, entryB);
            if (hitA && hitB) {
                if (entryB < entryA) {
                    std::swap(a, b);
                    std::swap(entryA, entryB);
                }
                stack[top++] = Entry{static_cast<std::uint32_t>(b - mNodes.data()), entryB};
                node = a;
            } else {
                node = hitA ? a : hitB ? b : nullptr;
            }
        }
        if (node == nullptr) {
            continue;
        }
        for (std::uint32_t k = node->first; k < node->first + node->count; ++k) {
            if (consider(mTriangles[k])) {
                return finish();
            }
        }
    }
    return finish();
}

std::size_t TriangleHierarchy::getByteSize() const noexcept {
    return mNodes.capacity() * sizeof(Node) + mTriangles.capacity() * sizeof(Triangle);
}

}  // namespace nevrik::geometry::detail
