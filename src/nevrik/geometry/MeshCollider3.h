#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/geometry/Collider.h"
#include "nevrik/geometry/PickResult.h"
#include "nevrik/geometry/Primitive.h"
#include "nevrik/geometry/Ray.h"
#include "nevrik/geometry/detail/TriangleHierarchy.h"
#include "nevrik/math/Vector.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace nevrik::geometry {

/// A collider over a triangle mesh of T coordinates; only float is defined.
template <class T>
class MeshCollider3;

/// The triangles of one mesh, as a plain copy of its vertex positions (model
/// coordinates) and indices, tested against rays triangle by triangle.
///
/// `primitive` says how the index sequence, or the vertices in order when
/// there are no indices, forms triangles: list, strip, fan, quads or quad
/// strip (see Primitive); any other code forms none. Triangles are tested in
/// drawing order; of hits at the same distance the later triangle wins. A
/// triangle with an index beyond the vertices is skipped. A hit whose point
/// lies outside the triangle's box by more than rounding explains (1/32768 of
/// the largest |coordinate| of the ray's origin and the corners) is no hit:
/// it comes from a ray lying in the triangle's plane, for which the
/// determinant test's rounding puts t anywhere along the ray.
///
/// build() adds a bounding-volume hierarchy that the queries then walk
/// instead of every triangle, with the loop's answers to the bit: the same
/// hit or miss, distance and normal, ties, degenerate, non-finite and badly
/// indexed triangles and rays in triangles' planes included. Until build()
/// runs, and again after the vertices, indices or primitive are changed
/// through the accessors, queries take the per-triangle loop, as do rays
/// with a non-finite part or so large that the test would overflow.
///
/// Reference-counted: the mesh that builds it holds it. Reports the class
/// name of Collider. Not synchronised: built, then queried, by the thread
/// owning the scene; queries allocate nothing.
template <>
class MeshCollider3<float> : public Collider<float, 3> {
public:
    /// The parameter range of each query: ray, segment, line.
    enum class Range { kRay, kSegment, kLine };
    /// A ray made ready once for putting to several colliders (the meshes of
    /// one model): each then starts with its box test.
    using Probe = detail::TriangleHierarchy::Probe;

    bool intersectRay(const Ray& ray, PickResult* hit) const override;
    bool intersectSegment(const Ray& ray, PickResult* hit) const override;
    bool intersectLine(const Ray& ray, PickResult* hit) const override;
    /// The query of `range`, through the hierarchy when it is built. Hits
    /// beyond `limit` are not looked for: a caller that already holds a hit
    /// at `limit` learns of every nearer one (and of ties) at less cost.
    bool intersect(Range range, const Ray& ray, PickResult* hit,
                   float limit = std::numeric_limits<float>::max()) const;
    /// A query's first step, apart so that a caller putting one ray to
    /// several colliders (the meshes of a model) readies a walk only for
    /// those the ray may meet.
    struct Approach {
        /// Whether the hierarchy answers; otherwise the per-triangle loop does.
        bool walks = false;
        detail::TriangleHierarchy::Start start;
    };
    /// False when `probe`'s ray surely meets no triangle of `range` up to
    /// `limit`; otherwise fills `approached` for intersect(). Inline up to
    /// the hierarchy's root box, so that each mesh of a model the ray misses
    /// costs that test alone.
    [[gnu::always_inline]] bool approach(Range range, const Probe& probe, float limit,
                                         Approach& approached) const noexcept {
        const Bounds bounds = boundsOf(range, limit);
        approached.walks = mBuilt && mHierarchy.answers(probe);
        return !approached.walks || mHierarchy.start(probe, bounds.lower, bounds.upper, approached.start);
    }
    /// The query of `range` for `probe`'s ray, which approach() let in with
    /// this `limit` or a larger one.
    bool intersect(Range range, const Probe& probe, const Approach& approached, PickResult* hit,
                   float limit = std::numeric_limits<float>::max()) const;
    /// As above for `probe`'s ray, approached here.
    [[gnu::always_inline]] bool intersect(Range range, const Probe& probe, PickResult* hit,
                                          float limit = std::numeric_limits<float>::max()) const {
        Approach approached;
        return approach(range, probe, limit, approached) && intersect(range, probe, approached, hit, limit);
    }
    /// The query of `range` by testing every triangle in order: the
    /// reference the hierarchy must agree with.
    bool intersectReference(Range range, const Ray& ray, PickResult* hit,
                            float limit = std::numeric_limits<float>::max()) const;

    /// Builds the hierarchy over the current triangles, replacing any old one.
    void build();
    /// Whether queries walk a hierarchy that matches the current triangles.
    bool isBuilt() const noexcept { return mBuilt; }
    /// Bytes the hierarchy holds beyond the vertex and index copies.
    std::size_t getHierarchySize() const noexcept { return mHierarchy.getByteSize(); }

    /// Direct access for the builder; the non-const forms mark the hierarchy
    /// out of date.
    container::Array<math::Vector3<float>>& getVertices() noexcept {
        mBuilt = false;
        return mVertices;
    }
    const container::Array<math::Vector3<float>>& getVertices() const noexcept { return mVertices; }
    container::Array<unsigned int>& getIndices() noexcept {
        mBuilt = false;
        return mIndices;
    }
    const container::Array<unsigned int>& getIndices() const noexcept { return mIndices; }
    std::uint32_t getPrimitive() const noexcept { return mPrimitive; }
    void setPrimitive(std::uint32_t primitive) noexcept {
        mBuilt = false;
        mPrimitive = primitive;
    }

private:
    // The bounds of t for each range.
    struct Bounds {
        float lower;
        float upper;
    };

    static Bounds boundsOf(Range range, float limit) noexcept {
        constexpr float kLargest = std::numeric_limits<float>::max();
        switch (range) {
            case Range::kSegment:
                return {0.0f, std::min(1.0f, limit)};
            case Range::kLine:
                return {-kLargest, std::min(kLargest, limit)};
            case Range::kRay:
            default:
                return {0.0f, std::min(kLargest, limit)};
        }
    }

    // Calls visit(order, p, q, r) for each triangle in drawing order, with
    // null corners for an index beyond the vertices, until visit returns false.
    template <class Visit>
    void forEachTriangle(Visit visit) const;

    container::Array<math::Vector3<float>> mVertices;
    container::Array<unsigned int> mIndices;
    std::uint32_t mPrimitive = Primitive::kTriangles;
    detail::TriangleHierarchy mHierarchy;
    bool mBuilt = false;
};

}  // namespace nevrik::geometry
