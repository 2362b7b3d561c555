#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/geometry/TriangleMesh3.h"

#include <cstdint>

namespace nevrik::graphics3d::detail {

/// Adds to `mesh` the triangles that `primitive` (an OpenGL primitive code)
/// makes of `indices`: lists, strips (dropping triangles that repeat an
/// index), fans and quads; any other primitive makes none.
void appendTriangles(std::uint32_t primitive, const container::Array<unsigned int>& indices,
                     geometry::TriangleMesh3<float>& mesh);

}  // namespace nevrik::graphics3d::detail
