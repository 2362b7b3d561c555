#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/graphics3d/core/Appearance.h"
#include "nevrik/graphics3d/core/BlendMode.h"
#include "nevrik/graphics3d/core/DepthMode.h"
#include "nevrik/graphics3d/core/Model.h"
#include "nevrik/graphics3d/core/PlainShader.h"
#include "nevrik/graphics3d/core/Shader.h"
#include "nevrik/graphics3d/core/Texture.h"
#include "nevrik/graphics3d/core/TextureShader.h"
#include "nevrik/graphics3d/core/VertexFormat.h"
#include "nevrik/graphics3d/loading/TextureManager.h"
#include "nevrik/io/Translator.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/object/PropertyList.h"
#include "nevrik/types/String.h"

namespace nevrik::graphics3d {

/// Base of the model readers: carries the texture manager the textures a
/// model names are loaded through, and a shader manager, both settable as
/// the object properties "texturemanager" and "shadermanager".
///
/// Reference-counted like every translator; holds a reference on each
/// manager it carries. Used on the thread of the current context, as the
/// models and textures it makes are.
class ModelTranslator : public io::Translator<Model> {
public:
    static constexpr const char* kTextureManagerKey = "texturemanager";
    static constexpr const char* kShaderManagerKey = "shadermanager";
    /// Diffuse and ambient grey of the default appearance.
    static constexpr float kDefaultGrey = 0.75f;

    /// A texture a model names that could not be had, and why.
    struct MissingTexture {
        types::String name;
        types::String reason;
    };

    /// Lighting, two-sided lighting and a local viewer, for both shaders.
    static constexpr std::uint32_t kShaderFlags =
        FixedShader::kLighting | FixedShader::kTwoSided | FixedShader::kLocalViewer;
    /// Vertex arrays of the untextured and the textured shader.
    static constexpr std::uint32_t kPlainArrays = VertexFormat::kPositionArray | VertexFormat::kNormalArray;
    static constexpr std::uint32_t kTexturedArrays = kPlainArrays | VertexFormat::kTextureArray;
    /// Vertices with colours of their own (which stand for the material's
    /// ambient and diffuse colours) add their colour array to either.
    static constexpr std::uint32_t kColourFlags = kShaderFlags | FixedShader::kVertexColours;
    /// Filters of every texture a model names: trilinear minification,
    /// linear magnification.
    static constexpr std::uint32_t kMinFilter = Texture::kLinearMipmapLinear;
    static constexpr std::uint32_t kMagFilter = Texture::kLinear;

    /// Makes the render objects every model this reader reads shares.
    ModelTranslator();

    /// A new list (the caller's only reference) of the two properties with
    /// the current managers, null where none is set. The list borrows them:
    /// it is valid while this translator keeps them.
    object::Pointer<object::PropertyList> getProperties() override;
    /// Each of the two keys present as an object property replaces its
    /// manager (null clears it); absent keys leave theirs alone. A
    /// "texturemanager" value that is no TextureManager is ignored.
    void setProperties(const object::PropertyList& list) override;

    /// The texture called `name`, with a reference for the caller, through
    /// the texture manager (made on first need, over the current directory).
    /// Null when it cannot be found or decoded: the manager's exception is
    /// not passed on but recorded among the missing textures (once a name).
    /// An empty name names no texture: null, and nothing is recorded.
    object::Pointer<Texture> loadTexture(const types::String& name);

    /// The textures of the last model read that could not be found or
    /// decoded, in the order they were first asked for, so that a program can
    /// report them; the model draws without them.
    const container::Array<MissingTexture>& getMissingTextures() const noexcept { return mMissingTextures; }

    NEVRIK_CLASS_NAME(io::Translator<Model>, ":ModelTranslator")

    TextureManager* getTextureManager() const noexcept { return mTextureManager.get(); }
    void setTextureManager(TextureManager* manager) noexcept { mTextureManager.reset(manager); }
    object::Object* getShaderManager() const noexcept { return mShaderManager.get(); }
    void setShaderManager(object::Object* manager) noexcept { mShaderManager.reset(manager); }
    /// The render objects the models read share, which live as long as the
    /// translator and the appearances holding them.
    PlainShader* getPlainShader() const noexcept { return mPlainShader.get(); }
    TextureShader* getTextureShader() const noexcept { return mTextureShader.get(); }
    PlainShader* getColourShader() const noexcept { return mColourShader.get(); }
    TextureShader* getColourTextureShader() const noexcept { return mColourTextureShader.get(); }
    BlendMode* getBlendMode() const noexcept { return mBlendMode.get(); }
    DepthMode* getDepthMode() const noexcept { return mDepthMode.get(); }

protected:
    /// The texture manager, made on first need over the current directory
    /// as loadTexture() does.
    TextureManager& textureManager();
    /// What faces without a material are drawn with: a new appearance, lit
    /// through `shader`, light grey and opaque, on the current context.
    static object::Pointer<Appearance> makeDefaultAppearance(Shader& shader);
    /// Gives `appearance` the shared textured shader when unit 0 has a
    /// texture, else the plain one (their vertex-colour forms when
    /// `coloured`), and, when `blended`, the shared alpha blending without
    /// depth writes.
    void setSharedStates(Appearance& appearance, bool blended, bool coloured = false) const;
    /// For readers, as a model starts: forgets the previous one's missing
    /// textures.
    void clearMissingTextures() noexcept { mMissingTextures.clear(); }
    /// Records a file the model names that could not be had, once a name.
    void recordMissing(const types::String& name, const types::String& reason);

private:
    object::Pointer<PlainShader> mPlainShader;
    object::Pointer<TextureShader> mTextureShader;
    object::Pointer<PlainShader> mColourShader;
    object::Pointer<TextureShader> mColourTextureShader;
    object::Pointer<BlendMode> mBlendMode;
    object::Pointer<DepthMode> mDepthMode;
    container::Array<MissingTexture> mMissingTextures;
    object::Pointer<TextureManager> mTextureManager;
    object::Pointer<object::Object> mShaderManager;
};

}  // namespace nevrik::graphics3d
