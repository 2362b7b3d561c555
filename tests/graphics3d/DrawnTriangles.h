#pragma once

#include "nevrik/graphics3d/core/BufferLock.h"
#include "nevrik/graphics3d/core/IndexMesh.h"

#include <array>
#include <cstdint>
#include <set>

namespace nevrik::graphics3d {

using Triangle = std::array<float, 9>;

// The corners' positions of every triangle a model reader's mesh draws
// (positions first in its vertex buffer), in the order it draws them.
inline std::multiset<Triangle> triangles(IndexMesh& mesh) {
    VertexBuffer& vertices = *mesh.getVertexBuffer(0);
    IndexBuffer& indices = *mesh.getIndexBuffer();
    BufferLock<VertexBuffer> vertexLock(vertices, VertexBuffer::kRead);
    BufferLock<IndexBuffer> indexLock(indices, VertexBuffer::kRead);
    const auto* data = reinterpret_cast<const float*>(vertices.getData());
    const std::uint32_t floats = vertices.getStride() / sizeof(float);
    std::multiset<Triangle> drawn;
    for (std::uint32_t i = mesh.getRangeStart(); i + 2 < mesh.getRangeEnd(); i += 3) {
        Triangle triangle{};
        for (int corner = 0; corner < 3; ++corner) {
            for (int k = 0; k < 3; ++k) {
                triangle[corner * 3 + k] = data[indices.getIndex(i + corner) * floats + k];
            }
        }
        drawn.insert(triangle);
    }
    return drawn;
}

}  // namespace nevrik::graphics3d
