#include "nevrik/graphics3d/loading/ModelTranslator.h"

#include "nevrik/graphics3d/loading/Translator3DS.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/ImageFiles.h"

#include <filesystem>

namespace nevrik::graphics3d {
namespace {

using object::Pointer;
using object::Property;
using object::PropertyList;

using ModelTranslatorTest = GlFixture;

const Property::Value& valueOf(const PropertyList& list, const char* name) {
    const Property* property = list.find(name);
    EXPECT_NE(property, list.end()) << name;
    EXPECT_EQ(property->getKind(), Property::kObject);
    return property->getValue();
}

PropertyList settings(const char* name, object::Object* value) {
    PropertyList list;
    list.add(Property(Property::kObject, name)).setObject(value);
    return list;
}

TEST_F(ModelTranslatorTest, PropertiesCarryBothManagersWithTheirReferences) {
    auto translator = object::make<Translator3DS>();
    EXPECT_EQ(translator->className(), "Object:Translator:ModelTranslator:Translator3DS");
    Pointer<PropertyList> empty = translator->getProperties();
    EXPECT_EQ(empty->getCount(), 2);
    EXPECT_EQ(valueOf(*empty, "texturemanager").object, nullptr);
    EXPECT_EQ(valueOf(*empty, "shadermanager").object, nullptr);

    auto textures = object::make<TextureManager>();
    auto shaders = object::make<object::Object>();
    PropertyList both = settings("texturemanager", textures.get());
    both.add(Property(Property::kObject, "shadermanager")).setObject(shaders.get());
    translator->setProperties(both);
    EXPECT_EQ(textures->getReferenceCount(), 2);
    EXPECT_EQ(shaders->getReferenceCount(), 2);
    const Pointer<PropertyList> set = translator->getProperties();
    EXPECT_EQ(valueOf(*set, "texturemanager").object, textures.get());
    EXPECT_EQ(valueOf(*set, "shadermanager").object, shaders.get());

    // Absent keys, keys of another kind and objects that are no texture
    // manager change nothing.
    translator->setProperties(PropertyList());
    PropertyList wrong = settings("texturemanager", shaders.get());
    wrong.add(Property(Property::kText, "shadermanager"));
    translator->setProperties(wrong);
    EXPECT_EQ(translator->getTextureManager(), textures.get());
    EXPECT_EQ(translator->getShaderManager(), shaders.get());

    // Setting the same manager again keeps one reference; null lets go.
    translator->setProperties(both);
    EXPECT_EQ(textures->getReferenceCount(), 2);
    translator->setProperties(settings("texturemanager", nullptr));
    EXPECT_EQ(textures->getReferenceCount(), 1);
    EXPECT_EQ(translator->getTextureManager(), nullptr);
    EXPECT_EQ(translator->getShaderManager(), shaders.get());
    translator->setProperties(settings("shadermanager", nullptr));
    EXPECT_EQ(shaders->getReferenceCount(), 1);
}

TEST_F(ModelTranslatorTest, LoadTextureGoesThroughTheManagerAndDropsFailures) {
    Translator3DS translator;
    translator.setTextureManager(object::make<TextureManager>(imageFiles().get()).get());
    const Pointer<Texture> texture = translator.loadTexture("rgb24.bmp");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->getReferenceCount(), 2) << "the manager's and the caller's";
    EXPECT_EQ(translator.loadTexture("rgb24.bmp"), texture);
    EXPECT_EQ(translator.loadTexture("missing.bmp"), nullptr);
    EXPECT_EQ(translator.loadTexture("ref.ppm"), nullptr) << "a file no decoder reads";
    EXPECT_EQ(translator.loadTexture(""), nullptr);
}

TEST_F(ModelTranslatorTest, WithoutAManagerTexturesComeFromTheCurrentDirectory) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(imageFolder().c_str());
    Translator3DS translator;
    const Pointer<Texture> texture = translator.loadTexture("rgb24.tga");
    std::filesystem::current_path(previous);
    EXPECT_NE(texture, nullptr);
    ASSERT_NE(translator.getTextureManager(), nullptr);
    EXPECT_EQ(translator.getTextureManager()->getCount(), 1);
}

}  // namespace
}  // namespace nevrik::graphics3d
