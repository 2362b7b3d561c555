#pragma once

#include "nevrik/geometry/PickResult.h"
#include "nevrik/geometry/Ray.h"
#include "nevrik/math/Vector.h"

namespace nevrik::geometry {

/// An axis-aligned cube given by its centre and edge length: the shape of an
/// octree cell.
///
/// A plain value: copied freely, never reference-counted.
struct Cube {
    math::Vector3<float> centre;
    float edge = 0.0f;
};

/// Whether `ray` (t from 0 on) meets the loose bound of the octree cell
/// `loose`: the cube of half-width `edge` around `centre`, twice the cell. On
/// a hit `hit`, when given, gets the entry point, the point minus the centre
/// as normal, and the entry parameter (0 for a ray starting inside).
bool intersects(const Cube& loose, const Ray& ray, PickResult* hit) noexcept;

}  // namespace nevrik::geometry
