#pragma once

#include "modelgen/Vector3.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nevrik::modelgen {

/// A vertex with its texture coordinates (u right, v up, as 3DS files keep them).
struct MeshVertex {
    Vector3 position;
    float u = 0.0f;
    float v = 0.0f;
};

/// A triangle, counter-clockwise seen from outside, and the index of its material.
struct MeshTriangle {
    std::uint32_t a = 0;
    std::uint32_t b = 0;
    std::uint32_t c = 0;
    int material = 0;
};

/// One named piece of the model before it is cut to the file format's 16-bit limits.
///
/// Plain value owned by whoever built it.
struct MeshPart {
    std::string name;
    std::vector<MeshVertex> vertices;
    std::vector<MeshTriangle> triangles;
};

}  // namespace nevrik::modelgen
