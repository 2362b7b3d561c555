#pragma once

#include "nevrik/graphics3d/core/Model.h"
#include "nevrik/graphics3d/core/ParameterBuffer.h"
#include "nevrik/graphics3d/core/VertexMesh.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/object/Pointer.h"

#include "MeshData.h"

#include <cstring>
#include <vector>

namespace nevrik::graphics3d {

// Two triangles covering x and y from x0, y0 to x1, y1 in the plane z.
inline std::vector<float> rectangle(float x0, float y0, float x1, float y1, float z) {
    return {x0, y0, z, x1, y0, z, x1, y1, z, x0, y0, z, x1, y1, z, x0, y1, z};
}

// A triangle-list vertex mesh over `xyz` positions.
inline object::Pointer<VertexMesh> meshOf(const std::vector<float>& xyz) {
    auto mesh = object::make<VertexMesh>();
    mesh->setVertexBuffer(makePositions(xyz).get(), 0);
    return mesh;
}

// A parameter block of `model`'s format with `matrix` at its matrix offset.
inline object::Pointer<ParameterBuffer> blockOf(const Model& model, const math::Matrix4<float>& matrix) {
    auto block = ParameterBuffer::create(&model.getParameterFormat());
    if (block && model.getMatrixOffset() >= 0) {
        std::memcpy(block->getData() + model.getMatrixOffset(), matrix.getElements(), Model::kMatrixSize);
    }
    return block;
}

inline math::Matrix4<float> translation(float x, float y, float z) {
    math::Matrix4<float> matrix;
    matrix.setColumn(3, {x, y, z});
    return matrix;
}

}  // namespace nevrik::graphics3d
