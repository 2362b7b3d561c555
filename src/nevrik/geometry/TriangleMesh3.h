#pragma once

#include "nevrik/geometry/TriangleMesh.h"

namespace nevrik::geometry {

/// A three-dimensional triangle soup of T coordinates; only float is defined.
template <class T>
class TriangleMesh3;

/// The three-dimensional float triangle mesh that meshes export; it adds
/// nothing to TriangleMesh<float, 3> and reports its class name.
template <>
class TriangleMesh3<float> : public TriangleMesh<float, 3> {};

}  // namespace nevrik::geometry
