#include "nevrik/graphics3d/loading/TextureFactory.h"

#include "nevrik/graphics/Image.h"
#include "nevrik/graphics3d/core/Texture2D.h"
#include "nevrik/graphics3d/core/TextureException.h"
#include "nevrik/io/FileInfo.h"
#include "nevrik/io/FileNotFoundException.h"
#include "nevrik/io/SystemFileFactory.h"

#include <GL/glew.h>

#include <strings.h>

#include <cstring>

namespace nevrik::graphics3d {

TextureFactory::TextureFactory() : TextureFactory(nullptr) {}

TextureFactory::TextureFactory(io::FileFactory* files) : mFiles(files) {
    if (!mFiles) {
        mFiles = object::make<io::SystemFileFactory>(types::String(""));
    }
}

types::String TextureFactory::baseName(const types::String& name) {
    const char* text = name.c_str();
    const char* base = text;
    for (const char* at = text; *at != '\0'; ++at) {
        if (*at == '/' || *at == '\\' || *at == ':') {
            base = at + 1;
        }
    }
    if (std::strcmp(base, ".") == 0 || std::strcmp(base, "..") == 0) {
        return types::String("");
    }
    return types::String(base);
}

types::String TextureFactory::findFile(const types::String& name) {
    const types::String base = baseName(name);
    if (base.getLength() == 0) {
        object::raiseAt(io::FileNotFoundException(), name);
    }
    if (mFiles->exists(base)) {
        return base;
    }
    const object::Pointer<io::Directory> folder = mFiles->getDirectory();
    for (const io::FileInfo& entry : folder->getEntries()) {
        if ((entry.getFlags() & io::FileInfo::kDirectory) == 0 &&
            strcasecmp(entry.getFileName(), base.c_str()) == 0) {
            return types::String(entry.getFileName());
        }
    }
    object::raiseAt(io::FileNotFoundException(), base);
}

object::Pointer<Texture> TextureFactory::create(const types::String& name) {
    const object::Pointer<io::File> file = mFiles->open(findFile(name), io::File::kRead);
    if (!file) {
        throw io::FileNotFoundException();
    }
    return create(*file);
}

object::Pointer<Texture> TextureFactory::create(io::File& file) {
    io::InputStream& stream = file.getInputStream();
    const object::Pointer<graphics::Image> image = mTranslators.claim(file).read(stream, stream.available());
    if (!image) {
        throw TextureException();
    }
    auto texture = Texture2D::create(*image, Texture2D::kGeneratedLevels);
    texture->setFilter(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
    return texture;
}

}  // namespace nevrik::graphics3d
