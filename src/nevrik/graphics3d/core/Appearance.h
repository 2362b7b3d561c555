#pragma once

#include "nevrik/graphics3d/core/BlendMode.h"
#include "nevrik/graphics3d/core/DepthMode.h"
#include "nevrik/graphics3d/core/Material.h"
#include "nevrik/graphics3d/core/PolygonMode.h"
#include "nevrik/graphics3d/core/Resource.h"
#include "nevrik/graphics3d/core/Shader.h"
#include "nevrik/graphics3d/core/StencilMode.h"
#include "nevrik/graphics3d/core/Texture.h"
#include "nevrik/graphics3d/core/VertexFormat.h"
#include "nevrik/object/Pointer.h"

namespace nevrik::system {
class Assembler;
}

namespace nevrik::graphics3d {

class Context;

/// The render states a mesh is drawn with: a material, a shader, blend,
/// stencil, depth and polygon modes, and a texture per unit. A category left
/// empty keeps whatever the context has in force.
///
/// Reference-counted and shared by meshes; holds a reference on every object
/// it refers to, and on the context whose default objects it started with,
/// so that those outlive it. Used on the thread of the current context.
class Appearance : public Resource {
public:
    static constexpr int kTextureUnits = VertexFormat::kTextureUnits;

    /// Refers to the current context's default material, shader and blend
    /// mode; without a current context, to nothing. The other categories and
    /// the textures are empty.
    Appearance();
    ~Appearance() override;

    NEVRIK_CLASS_NAME(Resource, ":Appearance")

    /// Through the current context's record: binds the shader, then applies
    /// the material, blend, stencil, depth and polygon modes, then binds the
    /// textures, each only when it is not in force already. False, doing
    /// nothing, without a current context.
    bool apply();
    /// Appends to `assembler` what apply() sends, in the same order, for the
    /// context a render program keeps in ESI: each object's compiled form
    /// (recording it as current), without the comparisons.
    void compile(system::Assembler& assembler) const;

    void setMaterial(Material* material) noexcept { mMaterial.reset(material); }
    void setShader(Shader* shader) noexcept { mShader.reset(shader); }
    void setBlendMode(BlendMode* blendMode) noexcept { mBlendMode.reset(blendMode); }
    void setStencilMode(StencilMode* stencilMode) noexcept { mStencilMode.reset(stencilMode); }
    void setDepthMode(DepthMode* depthMode) noexcept { mDepthMode.reset(depthMode); }
    void setPolygonMode(PolygonMode* polygonMode) noexcept { mPolygonMode.reset(polygonMode); }
    /// False, changing nothing, for a unit outside 0..7.
    bool setTexture(int unit, Texture* texture) noexcept;

    Material* getMaterial() const noexcept { return mMaterial.get(); }
    Shader* getShader() const noexcept { return mShader.get(); }
    BlendMode* getBlendMode() const noexcept { return mBlendMode.get(); }
    StencilMode* getStencilMode() const noexcept { return mStencilMode.get(); }
    DepthMode* getDepthMode() const noexcept { return mDepthMode.get(); }
    PolygonMode* getPolygonMode() const noexcept { return mPolygonMode.get(); }
    /// Null when empty or out of range.
    Texture* getTexture(int unit) const noexcept;

private:
    // Calls `visit` with the material and the blend, stencil, depth and
    // polygon modes that are set, in this order.
    template <class Visit>
    void visitStates(const Visit& visit) const;

    // Declared first to die last: the default objects live inside it.
    object::Pointer<Context> mContext;
    object::Pointer<Material> mMaterial;
    object::Pointer<Shader> mShader;
    object::Pointer<BlendMode> mBlendMode;
    object::Pointer<StencilMode> mStencilMode;
    object::Pointer<DepthMode> mDepthMode;
    object::Pointer<PolygonMode> mPolygonMode;
    object::Pointer<Texture> mTextures[kTextureUnits];
};

}  // namespace nevrik::graphics3d
