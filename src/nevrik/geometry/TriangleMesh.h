#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/geometry/Primitive.h"
#include "nevrik/math/Vector.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::geometry {

/// A triangle soup of T coordinates in N dimensions; only the float,
/// three-dimensional form is defined.
template <class T, int N>
class TriangleMesh;

/// Vertex positions, indices and the primitive code that says how the indices
/// form triangles (see Primitive; a list at construction). Carries data only:
/// a mesh exports one for uses other than picking.
///
/// Reference-counted: whoever asked the mesh for it holds it. Not synchronised.
template <>
class TriangleMesh<float, 3> : public object::Object {
public:
    NEVRIK_CLASS_NAME(object::Object, ":TriangleMesh")

    /// Stores triangle `index` as a, b, c at entries 3·index to 3·index + 2,
    /// first growing the indices (by the array's growth rule) when they are
    /// shorter. Returns false, changing nothing, for a negative index or one
    /// whose entries would not fit an array.
    bool setTriangle(int index, unsigned int a, unsigned int b, unsigned int c);

    /// Makes the indices the `count` bytes at `bytes`, each widened to an
    /// index. Returns false, changing nothing, for a negative count or a null
    /// `bytes` with a positive count.
    bool setIndices(const std::uint8_t* bytes, int count);

    container::Array<math::Vector<float, 3>>& getVertices() noexcept { return mVertices; }
    const container::Array<math::Vector<float, 3>>& getVertices() const noexcept { return mVertices; }
    container::Array<unsigned int>& getIndices() noexcept { return mIndices; }
    const container::Array<unsigned int>& getIndices() const noexcept { return mIndices; }
    std::uint32_t getPrimitive() const noexcept { return mPrimitive; }
    void setPrimitive(std::uint32_t primitive) noexcept { mPrimitive = primitive; }

private:
    container::Array<math::Vector<float, 3>> mVertices;
    container::Array<unsigned int> mIndices;
    std::uint32_t mPrimitive = Primitive::kTriangles;
};

}  // namespace nevrik::geometry
