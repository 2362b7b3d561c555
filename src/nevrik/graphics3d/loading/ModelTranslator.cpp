#include "nevrik/graphics3d/loading/ModelTranslator.h"

#include "nevrik/object/Property.h"

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
            mTextureManager = manager;
        }
    }
    if (findObject(list, kShaderManagerKey, value)) {
        mShaderManager = value;
    }
}

object::Pointer<Texture> ModelTranslator::loadTexture(const types::String& name) {
    try {
        if (!mTextureManager) {
            mTextureManager = object::make<TextureManager>();
        }
        return object::Pointer<Texture>(mTextureManager->get(name));
    } catch (const std::exception&) {
        // A texture that cannot be had leaves its slot empty; the model still loads.
        return nullptr;
    }
}

}  // namespace nevrik::graphics3d
