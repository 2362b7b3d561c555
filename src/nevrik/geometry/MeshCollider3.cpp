#include "nevrik/geometry/MeshCollider3.h"

#include <limits>

namespace nevrik::geometry {
namespace {

using Vector3f = math::Vector3<float>;

constexpr float kLargest = std::numeric_limits<float>::max();
// Below this |det| the ray runs in the triangle's plane: no hit, even across an edge.
constexpr float kParallel = std::numeric_limits<float>::epsilon();

// Möller–Trumbore; both faces count. On a hit gives the ray parameter t and
// the edges e1 = Q - P and e2 = R - P.
bool rayMeetsTriangle(const Ray& ray, const Vector3f& p, const Vector3f& q, const Vector3f& r, float& t,
                      Vector3f& e1, Vector3f& e2) noexcept {
    e1 = q - p;
    e2 = r - p;
    const Vector3f h = ray.direction.cross(e2);
    const float det = e1.dot(h);
    if (det > -kParallel && det < kParallel) {
        return false;
    }
    const float inverse = 1.0f / det;
    const Vector3f s = ray.origin - p;
    const float u = s.dot(h) * inverse;
    if (u < 0.0f || u > 1.0f) {
        return false;
    }
    const Vector3f sCrossE1 = s.cross(e1);
    const float v = ray.direction.dot(sCrossE1) * inverse;
    if (v < 0.0f || u + v > 1.0f) {
        return false;
    }
    t = e2.dot(sCrossE1) * inverse;
    return true;
}

}  // namespace

bool MeshCollider3<float>::intersectRay(const Ray& ray, PickResult* hit) const {
    return intersect(ray, 0.0f, kLargest, hit);
}

bool MeshCollider3<float>::intersectSegment(const Ray& ray, PickResult* hit) const {
    return intersect(ray, 0.0f, 1.0f, hit);
}

bool MeshCollider3<float>::intersectLine(const Ray& ray, PickResult* hit) const {
    return intersect(ray, -kLargest, kLargest, hit);
}

bool MeshCollider3<float>::intersect(const Ray& ray, float lower, float best, PickResult* hit) const {
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

    bool found = false;
    Vector3f normal;
    Primitive::forEachTriangle(mPrimitive, count, [&](int a, int b, int c) {
        const Vector3f* p = vertexAt(a);
        const Vector3f* q = vertexAt(b);
        const Vector3f* r = vertexAt(c);
        float t = 0.0f;
        Vector3f e1;
        Vector3f e2;
        // t <= best rather than <: of equal distances the later triangle wins.
        if (p == nullptr || q == nullptr || r == nullptr || !rayMeetsTriangle(ray, *p, *q, *r, t, e1, e2) ||
            !(t >= lower && t <= best)) {
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

    if (found && hit != nullptr) {
        hit->point = ray.pointAt(best);
        hit->normal = normal;
        hit->distance = best;
    }
    return found;
}

}  // namespace nevrik::geometry
