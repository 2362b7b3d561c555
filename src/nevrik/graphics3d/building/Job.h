#pragma once

#include "nevrik/graphics3d/core/Appearance.h"
#include "nevrik/graphics3d/core/BlendMode.h"
#include "nevrik/graphics3d/core/DepthMode.h"
#include "nevrik/graphics3d/core/IndexBuffer.h"
#include "nevrik/graphics3d/core/Material.h"
#include "nevrik/graphics3d/core/Mesh.h"
#include "nevrik/graphics3d/core/PolygonMode.h"
#include "nevrik/graphics3d/core/Shader.h"
#include "nevrik/graphics3d/core/StencilMode.h"
#include "nevrik/graphics3d/core/Texture.h"
#include "nevrik/graphics3d/core/VertexBuffer.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// One draw of the model optimiser with every state resolved: the states,
/// the buffer feeding each component bit, the index buffer, and the range
/// and primitive to draw. A mesh of neither drawable kind rides along in
/// `mesh`, untouched, and draws nothing.
///
/// A plain record held by value in the optimiser's job list; every pointer
/// holds a reference.
struct Job {
    object::Pointer<Mesh> mesh;
    object::Pointer<Material> material;
    object::Pointer<Shader> shader;
    object::Pointer<Texture> textures[Appearance::kTextureUnits];
    object::Pointer<BlendMode> blendMode;
    object::Pointer<DepthMode> depthMode;
    object::Pointer<StencilMode> stencilMode;
    object::Pointer<PolygonMode> polygonMode;
    object::Pointer<VertexBuffer> vertexBuffers[VertexBuffer::kComponentBits];
    object::Pointer<IndexBuffer> indexBuffer;
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    std::uint32_t primitive = 0;
};

}  // namespace nevrik::graphics3d
