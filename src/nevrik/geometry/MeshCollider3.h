#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/geometry/Collider.h"
#include "nevrik/geometry/PickResult.h"
#include "nevrik/geometry/Primitive.h"
#include "nevrik/geometry/Ray.h"
#include "nevrik/math/Vector.h"

#include <cstdint>

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
/// triangle with an index beyond the vertices is skipped.
///
/// Reference-counted: the mesh that builds it holds it. Reports the class
/// name of Collider. Not synchronised: used by the thread owning the scene.
template <>
class MeshCollider3<float> : public Collider<float, 3> {
public:
    bool intersectRay(const Ray& ray, PickResult* hit) const override;
    bool intersectSegment(const Ray& ray, PickResult* hit) const override;
    bool intersectLine(const Ray& ray, PickResult* hit) const override;

    /// Direct access for the builder.
    container::Array<math::Vector3<float>>& getVertices() noexcept { return mVertices; }
    const container::Array<math::Vector3<float>>& getVertices() const noexcept { return mVertices; }
    container::Array<unsigned int>& getIndices() noexcept { return mIndices; }
    const container::Array<unsigned int>& getIndices() const noexcept { return mIndices; }
    std::uint32_t getPrimitive() const noexcept { return mPrimitive; }
    void setPrimitive(std::uint32_t primitive) noexcept { mPrimitive = primitive; }

private:
    // The nearest hit with lower <= t <= best, in the order and with the tie
    // rule of the class comment.
    bool intersect(const Ray& ray, float lower, float best, PickResult* hit) const;

    container::Array<math::Vector3<float>> mVertices;
    container::Array<unsigned int> mIndices;
    std::uint32_t mPrimitive = Primitive::kTriangles;
};

}  // namespace nevrik::geometry
