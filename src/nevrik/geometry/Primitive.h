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

    /// Calls visit(a, b, c) with the positions in the entry sequence of each
    /// triangle that `primitive` forms from `count` entries, in drawing order,
    /// until visit returns false. Loop bounds are written so that no position
    /// passes the count, which may be as large as an int goes.
    template <class Visit>
    static void forEachTriangle(std::uint32_t primitive, int count, Visit visit) {
        switch (primitive) {
            case Primitive::kTriangles:
                // A trailing one or two entries form nothing.
                for (int k = 0; k < count - 2; k += 3) {
                    if (!visit(k, k + 1, k + 2)) {
                        return;
                    }
                }
                break;
            case Primitive::kTriangleStrip:
                // Every window of three in order; odd triangles keep their
                // winding, which a two-sided ray test does not care about.
                for (int k = 0; k < count - 2; ++k) {
                    if (!visit(k, k + 1, k + 2)) {
                        return;
                    }
                }
                break;
            case Primitive::kTriangleFan:
                for (int k = 1; k < count - 1; ++k) {
                    if (!visit(0, k, k + 1)) {
                        return;
                    }
                }
                break;
            case Primitive::kQuads:
                for (int k = 0; k < count - 3; k += 4) {
                    if (!visit(k, k + 1, k + 2) || !visit(k, k + 2, k + 3)) {
                        return;
                    }
                }
                break;
            case Primitive::kQuadStrip:
                // Quad n is drawn through entries 2n, 2n+1, 2n+3, 2n+2.
                for (int k = 0; k < count - 3; k += 2) {
                    if (!visit(k, k + 1, k + 3) || !visit(k, k + 3, k + 2)) {
                        return;
                    }
                }
                break;
            default:
                break;
        }
    }
};

}  // namespace nevrik::geometry
