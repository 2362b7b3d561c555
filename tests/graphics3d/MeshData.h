#pragma once

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/IndexBuffer.h"
#include "nevrik/graphics3d/core/Mesh.h"
#include "nevrik/graphics3d/core/TypeWord.h"
#include "nevrik/graphics3d/core/VertexBuffer.h"
#include "nevrik/object/Pointer.h"

#include "BufferState.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace nevrik::graphics3d {

// A buffer of one entry of type word `type` feeding `mask`, filled with
// `values` (as many vertices as they make).
template <class T>
object::Pointer<VertexBuffer> makeVertices(std::uint32_t type, std::uint32_t mask,
                                           const std::vector<T>& values,
                                           std::uint32_t usage = VertexBuffer::kStatic) {
    VertexFormat format;
    format.add(type, mask);
    const auto count = static_cast<std::uint32_t>(values.size() * sizeof(T) / format.getStride());
    auto buffer = VertexBuffer::create(format, count, usage);
    EXPECT_TRUE(buffer->lock(VertexBuffer::kReplace));
    std::memcpy(buffer->getData(), values.data(), std::size_t{count} * format.getStride());
    EXPECT_TRUE(buffer->unlock());
    return buffer;
}

inline object::Pointer<VertexBuffer> makePositions(const std::vector<float>& xyz,
                                                   std::uint32_t usage = VertexBuffer::kStatic) {
    return makeVertices(TypeWord::kFloat3, VertexFormat::kPositionArray, xyz, usage);
}

// `indices`, each cut to `size` bytes.
inline object::Pointer<IndexBuffer> makeIndices(std::uint32_t size, const std::vector<std::uint32_t>& indices,
                                                std::uint32_t usage = VertexBuffer::kStatic) {
    auto buffer = IndexBuffer::create(size, static_cast<std::uint32_t>(indices.size()), usage);
    EXPECT_TRUE(buffer->lock(VertexBuffer::kReplace));
    for (std::size_t i = 0; i < indices.size(); ++i) {
        std::memcpy(buffer->getData() + i * size, &indices[i], size);
    }
    EXPECT_TRUE(buffer->unlock());
    return buffer;
}

// Four full-height columns across the view, four corners each:
// (x0,-1) (x1,-1) (x1,1) (x0,1).
inline std::vector<float> columnCorners() {
    std::vector<float> xyz;
    for (int column = 0; column < 4; ++column) {
        const float x0 = -1.0f + 0.5f * static_cast<float>(column);
        xyz.insert(xyz.end(), {x0, -1, 0, x0 + 0.5f, -1, 0, x0 + 0.5f, 1, 0, x0, 1, 0});
    }
    return xyz;
}

// Two triangles a column over columnCorners().
inline std::vector<std::uint32_t> columnIndices() {
    std::vector<std::uint32_t> indices;
    for (std::uint32_t column = 0; column < 4; ++column) {
        for (std::uint32_t corner : {0u, 1u, 2u, 0u, 2u, 3u}) {
            indices.push_back(4 * column + corner);
        }
    }
    return indices;
}

// The same triangles with their corners written out, six vertices a column.
inline std::vector<float> columnTriangles() {
    const std::vector<float> corners = columnCorners();
    std::vector<float> xyz;
    for (std::uint32_t index : columnIndices()) {
        xyz.insert(xyz.end(), corners.begin() + 3 * index, corners.begin() + 3 * index + 3);
    }
    return xyz;
}

inline void clearView() {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
}

// Which of the four columns of the 64 x 48 view are drawn: "0100" for the second.
inline std::string litColumns() {
    std::string lit;
    for (int column = 0; column < 4; ++column) {
        GLubyte pixel[4] = {};
        glReadPixels(8 + 16 * column, 24, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        lit += pixel[0] > 128 ? '1' : '0';
    }
    return lit;
}

// Draws `mesh` directly and through its compiled form, each time on a
// cleared view from scrambled state: the same array state and `columns` lit.
inline void expectCompiledDrawMatches(Mesh& mesh, const std::string& columns) {
    expectCompiledMatches(
        [&] {
            clearView();
            ASSERT_TRUE(mesh.draw());
            EXPECT_EQ(litColumns(), columns);
        },
        [&](system::Assembler& assembler) {
            clearView();
            ASSERT_TRUE(mesh.compile(assembler));
        });
    EXPECT_EQ(litColumns(), columns);
}

}  // namespace nevrik::graphics3d
