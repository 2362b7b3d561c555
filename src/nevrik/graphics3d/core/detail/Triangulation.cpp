#include "nevrik/graphics3d/core/detail/Triangulation.h"

#include "nevrik/geometry/Primitive.h"

namespace nevrik::graphics3d::detail {

void appendTriangles(std::uint32_t primitive, const container::Array<unsigned int>& indices,
                     geometry::TriangleMesh3<float>& mesh) {
    using geometry::Primitive;
    const unsigned int* index = indices.getData();
    const int count = indices.getCount();
    int triangle = mesh.getIndices().getCount() / 3;
    auto add = [&](unsigned int a, unsigned int b, unsigned int c) { mesh.setTriangle(triangle++, a, b, c); };
    if (primitive == Primitive::kTriangleStrip) {
        // Unlike a collider, an exported strip keeps the drawn winding and
        // drops the degenerate triangles that join strips.
        if (count >= 3) {
            unsigned int a = index[0];
            unsigned int b = index[1];
            for (int step = 0; step + 2 < count; ++step) {
                const unsigned int v = index[step + 2];
                if (a != b && b != v && a != v) {
                    add(a, b, v);
                }
                (step % 2 == 0 ? a : b) = v;
            }
        }
        return;
    }
    if (primitive == Primitive::kQuadStrip) {
        return;  // exported meshes carry lists, strips, fans and quads only
    }
    Primitive::forEachTriangle(primitive, count, [&](int i, int j, int k) {
        add(index[i], index[j], index[k]);
        return true;
    });
}

}  // namespace nevrik::graphics3d::detail
