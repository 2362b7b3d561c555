#include "nevrik/graphics3d/loading/TextureFactory.h"

#include "nevrik/graphics/Image.h"
#include "nevrik/graphics3d/core/Texture2D.h"
#include "nevrik/graphics3d/core/TextureException.h"
#include "nevrik/io/SystemFileFactory.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {

TextureFactory::TextureFactory() : TextureFactory(nullptr) {}

TextureFactory::TextureFactory(io::FileFactory* files) : mFiles(files) {
    if (!mFiles) {
        mFiles = object::make<io::SystemFileFactory>(types::String(""));
    }
}

object::Pointer<Texture> TextureFactory::create(const types::String& name) {
    const object::Pointer<graphics::Image> image = mTranslators.load(*mFiles, name);
    if (!image) {
        throw TextureException();
    }
    auto texture = Texture2D::create(*image, Texture2D::kGeneratedLevels);
    texture->setFilter(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
    return texture;
}

}  // namespace nevrik::graphics3d
