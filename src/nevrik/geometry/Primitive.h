#pragma once

#include <cstdint>

namespace nevrik::geometry {

/// The OpenGL primitive codes by which colliders and triangle meshes read an
/// index (or vertex) sequence as triangles. Fields holding a code are plain
/// 32-bit values copied from a mesh; a code not listed here forms no
/// triangles.
struct Primitive {
    static constexpr std::uint32_t kTriangles = 4;
    static constexpr std::uint32_t kTriangleStrip = 5;
    static constexpr std::uint32_t kTriangleFan = 6;
    static constexpr std::uint32_t kQuads = 7;
    static constexpr std::uint32_t kQuadStrip = 8;
};

}  // namespace nevrik::geometry
