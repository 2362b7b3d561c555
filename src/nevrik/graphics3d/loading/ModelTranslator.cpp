#include "nevrik/graphics3d/loading/ModelTranslator.h"

#include "nevrik/graphics3d/core/ColourMaterial.h"
#include "nevrik/object/Property.h"

#include <GL/glew.h>

#include <algorithm>
#include <exception>

namespace nevrik::graphics3d {
namespace {

// The object value of `name` in `list`; false when the list has no object
// property of that name.
bool findObject(const object::PropertyList& list, const char* name, object::Object*& value) {
    const object::Property* property = list.find(name);
    if (property == list.end() || property->getKind() != object::Property::kObject) {
        return false;
    }
    value = property->getValue().object;
    return true;
}

}  // namespace

object::Pointer<object::PropertyList> ModelTranslator::getProperties() {
    auto list = object::make<object::PropertyList>();
    list->add(object::Property(object::Property::kObject, kTextureManagerKey))
        .setObject(mTextureManager.get());
    list->add(object::Property(object::Property::kObject, kShaderManagerKey)).setObject(mShaderManager.get());
    return list;
}

void ModelTranslator::setProperties(const object::PropertyList& list) {
    object::Object* value = nullptr;
    if (findObject(list, kTextureManagerKey, value)) {
        if (value == nullptr) {
            mTextureManager.reset();
        } else if (auto* manager = dynamic_cast<TextureManager*>(value)) {
            mTextureManager.reset(manager);
        }
    }
    if (findObject(list, kShaderManagerKey, value)) {
        mShaderManager.reset(value);
    }
}

object::Pointer<Texture> ModelTranslator::loadTexture(const types::String& name) {
    // Writers leave a map's file name empty when the map has no picture: it
    // names no texture, so nothing is missing either.
    if (name.isEmpty()) {
        return nullptr;
    }
    try {
        return object::Pointer<Texture>(textureManager().get(name));
    } catch (const std::exception& e) {
        // A texture that cannot be had leaves its slot empty; the model still
        // loads, and the program can tell its user what is missing.
        recordMissing(name, types::String(e.what()));
        return nullptr;
    }
}

void ModelTranslator::recordMissing(const types::String& name, const types::String& reason) {
    const bool known = std::any_of(mMissingTextures.begin(), mMissingTextures.end(),
                                   [&](const MissingTexture& missing) { return missing.name == name; });
    if (!known) {
        mMissingTextures.add(MissingTexture{name, reason});
    }
}

TextureManager& ModelTranslator::textureManager() {
    if (!mTextureManager) {
        mTextureManager = object::make<TextureManager>();
    }
    return *mTextureManager;
}

ModelTranslator::ModelTranslator()
    : mPlainShader(object::make<PlainShader>(kPlainArrays, kShaderFlags)),
      mTextureShader(object::make<TextureShader>(kTexturedArrays, kShaderFlags)),
      mColourShader(object::make<PlainShader>(kPlainArrays | VertexFormat::kColourArray, kColourFlags)),
      mColourTextureShader(
          object::make<TextureShader>(kTexturedArrays | VertexFormat::kColourArray, kColourFlags)),
      mBlendMode(object::make<BlendMode>(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)),
      mDepthMode(object::make<DepthMode>()) {
    mDepthMode->setWriteMask(false);
}

void ModelTranslator::setSharedStates(Appearance& appearance, bool blended, bool coloured) const {
    if (appearance.getTexture(0) != nullptr) {
        appearance.setShader(coloured ? mColourTextureShader.get() : mTextureShader.get());
    } else {
        appearance.setShader(coloured ? mColourShader.get() : mPlainShader.get());
    }
    if (blended) {
        appearance.setBlendMode(mBlendMode.get());
        appearance.setDepthMode(mDepthMode.get());
    }
}

object::Pointer<Appearance> ModelTranslator::makeDefaultAppearance(Shader& shader) {
    auto grey = object::make<ColourMaterial>();
    grey->setColour(ColourMaterial::kAmbient, kDefaultGrey, kDefaultGrey, kDefaultGrey, 1.0f);
    grey->setColour(ColourMaterial::kDiffuse, kDefaultGrey, kDefaultGrey, kDefaultGrey, 1.0f);
    grey->setColour(ColourMaterial::kSpecular, 0.0f, 0.0f, 0.0f, 1.0f);
    grey->setColour(ColourMaterial::kEmission, 0.0f, 0.0f, 0.0f, 1.0f);
    auto appearance = object::make<Appearance>();
    appearance->setMaterial(grey.get());
    appearance->setShader(&shader);
    return appearance;
}

}  // namespace nevrik::graphics3d
