#include "nevrik/graphics3d/detail/Triangulation.h"

#include "nevrik/geometry/Primitive.h"

namespace nevrik::graphics3d::detail {

void appendTriangles(std::uint32_t primitive, const container::Array<unsigned int>& indices,
                     geometry::TriangleMesh3<float>& mesh) {
    using geometry::Primitive;
    const unsigned int* index = indices.getData();
    const int count = indices.getCount();
    int triangle = mesh.getIndices().getCount() / 3;
    auto add = [&](unsigned int a, unsigned int b, unsigned int c) { mesh.setTriangle(triangle++, a, b, c); };
    switch (primitive) {
        case Primitive::kTriangles:
            for (int i = 0; i + 2 < count; i += 3) {
                add(index[i], index[i + 1], index[i + 2]);
            }
            break;
        case Primitive::kTriangleStrip:
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
            break;
        case Primitive::kTriangleFan:
            for (int i = 2; i < count; ++i) {
                add(index[0], index[i - 1], index[i]);
            }
            break;
        case Primitive::kQuads:
            for (int i = 0; i + 3 < count; i += 4) {
                add(index[i], index[i + 1], index[i + 2]);
                add(index[i], index[i + 2], index[i + 3]);
            }
            break;
        default:
            break;
    }
}

}  // namespace nevrik::graphics3d::detail
