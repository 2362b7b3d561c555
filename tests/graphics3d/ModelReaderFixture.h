#pragma once

#include "nevrik/graphics3d/core/IndexMesh.h"
#include "nevrik/graphics3d/core/Model.h"
#include "nevrik/graphics3d/loading/TextureManager.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/object/Pointer.h"

#include "graphics/MemoryStream.h"
#include "graphics3d/GlFixture.h"
#include "io/TempFolder.h"

#include <filesystem>
#include <string>

namespace nevrik::graphics3d {

// A model reader of type T whose files come from a folder of the test's
// own, on a window's rendering context.
template <class T>
class ModelReaderFixture : public GlFixture {
protected:
    void SetUp() override {
        GlFixture::SetUp();
        mTranslator->setTextureManager(
            object::make<TextureManager>(object::make<io::SystemFileFactory>(mFolder.c_str()).get()).get());
    }
    void TearDown() override {
        mTranslator.reset();
        GlFixture::TearDown();
    }

    object::Pointer<Model> load(const std::string& bytes) {
        testing::MemoryStream stream(bytes);
        return mTranslator->read(stream, T::kWholeStream);
    }
    // The index mesh `index` of a model that must have it.
    static IndexMesh& mesh(const object::Pointer<Model>& model, int index) {
        return dynamic_cast<IndexMesh&>(*model->getMeshes()[index]);
    }

    const testing::TempFolder mTemp;
    const std::filesystem::path& mFolder = mTemp.path();
    object::Pointer<T> mTranslator = object::make<T>();
};

}  // namespace nevrik::graphics3d
