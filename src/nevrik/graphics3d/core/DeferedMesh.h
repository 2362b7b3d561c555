#pragma once

#include "nevrik/graphics3d/core/VertexFormat.h"

namespace nevrik::graphics3d {

class BlendMode;
class DepthMode;
class Material;
class Mesh;
class PolygonMode;
class Shader;
class StencilMode;
class Texture;

/// A blended mesh waiting in the DeferQueue: the mesh, the state objects in
/// force when it was queued, and its model-view matrix.
///
/// A plain record from the queue's pool; holds no references (the model that
/// queued the mesh outlives the flush). Used on the context's thread.
struct DeferedMesh {
    static constexpr int kTextureUnits = VertexFormat::kTextureUnits;

    Mesh* mesh = nullptr;
    BlendMode* blendMode = nullptr;
    PolygonMode* polygonMode = nullptr;
    StencilMode* stencilMode = nullptr;
    DepthMode* depthMode = nullptr;
    Shader* shader = nullptr;
    Material* material = nullptr;
    Texture* textures[kTextureUnits] = {};
    /// Row-major.
    float modelView[16] = {};
    /// View depth of the mesh's bounds centre.
    float depth = 0.0f;
};

}  // namespace nevrik::graphics3d
