#include "nevrik/geometry/MeshCollider3.h"

#include "nevrik/geometry/detail/RayTriangle.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace nevrik::geometry {
namespace {

using Vector3f = math::Vector3<float>;

void record(const Ray& ray, float t, const Vector3f& normal, PickResult* hit) noexcept {
    if (hit != nullptr) {
        hit->point = ray.pointAt(t);
        hit->normal = normal;
        hit->distance = t;
    }
}

}  // namespace

template <class Visit>
void MeshCollider3<float>::forEachTriangle(Visit visit) const {
    const Vector3f* vertices = mVertices.getData();
    const auto vertexCount = static_cast<unsigned int>(mVertices.getCount());
    const unsigned int* indices = mIndices.getData();
    const bool indexed = !mIndices.isEmpty();
    const int count = indexed ? mIndices.getCount() : mVertices.getCount();

    // Null for an index beyond the vertices: the collider is built from file
    // data, so a bad index skips its triangle instead of reading past the end.
    auto vertexAt = [&](int entry) -> const Vector3f* {
        const unsigned int index = indexed ? indices[entry] : static_cast<unsigned int>(entry);
        return index < vertexCount ? vertices + index : nullptr;
    };
    std::uint32_t order = 0;
    Primitive::forEachTriangle(mPrimitive, count, [&](int a, int b, int c) {
        return visit(order++, vertexAt(a), vertexAt(b), vertexAt(c));
    });
}

bool MeshCollider3<float>::intersectRay(const Ray& ray, PickResult* hit) const {
    return intersect(Range::kRay, ray, hit);
}

bool MeshCollider3<float>::intersectSegment(const Ray& ray, PickResult* hit) const {
    return intersect(Range::kSegment, ray, hit);
}

bool MeshCollider3<float>::intersectLine(const Ray& ray, PickResult* hit) const {
    return intersect(Range::kLine, ray, hit);
}

bool MeshCollider3<float>::intersect(Range range, const Ray& ray, PickResult* hit, float limit) const {
    if (!mBuilt) {
        return intersectReference(range, ray, hit, limit);
    }
    return intersect(range, Probe(ray), hit, limit);
}

bool MeshCollider3<float>::intersect(Range range, const Probe& probe, const Approach& approached,
                                     PickResult* hit, float limit) const {
    const Ray& ray = probe.getRay();
    // A non-finite ray, or one whose products with the triangles overflow,
    // can make the test accept triangles far from any box (an infinite
    // determinant gives t = 0): only the loop answers for it.
    if (!approached.walks) {
        return intersectReference(range, ray, hit, limit);
    }
    const Bounds bounds = boundsOf(range, limit);
    float t = 0.0f;
    Vector3f normal;
    if (!mHierarchy.intersect(probe, approached.start, bounds.lower, bounds.upper, hit != nullptr, t,
                              normal)) {
        return false;
    }
    record(ray, t, normal, hit);
    return true;
}

bool MeshCollider3<float>::intersectReference(Range range, const Ray& ray, PickResult* hit,
                                              float limit) const {
    const Bounds bounds = boundsOf(range, limit);
    float best = bounds.upper;
    bool found = false;
    Vector3f normal;
    forEachTriangle([&](std::uint32_t, const Vector3f* p, const Vector3f* q, const Vector3f* r) {
        if (p == nullptr || q == nullptr || r == nullptr) {
            return true;
        }
        const Vector3f e1 = *q - *p;
        const Vector3f e2 = *r - *p;
        float t = 0.0f;
        // t <= best rather than <: of equal distances the later triangle wins.
        if (!detail::rayMeetsTriangle(ray, *p, e1, e2, t) || !(t >= bounds.lower && t <= best)) {
            return true;
        }
        found = true;
        if (hit == nullptr) {
            return false;
        }
        best = t;
        normal = e1.cross(e2);
        return true;
    });
    if (found) {
        record(ray, best, normal, hit);
    }
    return found;
}

void MeshCollider3<float>::build() {
    std::vector<detail::TriangleHierarchy::Source> sources;
    // Every primitive forms at most one triangle per entry; a list one per three.
    const int entries = mIndices.isEmpty() ? mVertices.getCount() : mIndices.getCount();
    sources.reserve(static_cast<std::size_t>(mPrimitive == Primitive::kTriangles ? entries / 3 : entries));
    forEachTriangle([&](std::uint32_t order, const Vector3f* p, const Vector3f* q, const Vector3f* r) {
        if (p != nullptr && q != nullptr && r != nullptr) {
            sources.push_back(detail::TriangleHierarchy::Source{*p, *q, *r, order});
        }
        return true;
    });
    mHierarchy.build(sources);
    mBuilt = true;
}

}  // namespace nevrik::geometry
