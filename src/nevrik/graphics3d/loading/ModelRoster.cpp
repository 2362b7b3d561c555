#include "nevrik/graphics3d/loading/ModelRoster.h"

#include "nevrik/graphics3d/loading/TextureManager.h"
#include "nevrik/io/File.h"
#include "nevrik/io/FileNotFoundException.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/io/TranslatorFormatException.h"

#include <string>

namespace nevrik::graphics3d {

ModelRoster::ModelRoster() {
    add(&m3DS);
    add(&mOBJ);
    add(&mGLTF);
}

object::Pointer<Model> ModelRoster::readFile(const types::String& path) {
    // The folder becomes the base of the file and of the textures it names.
    const std::string whole(path.c_str());
    const std::size_t slash = whole.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : whole.substr(0, slash == 0 ? 1 : slash);
    const std::string name = slash == std::string::npos ? whole : whole.substr(slash + 1);
    const auto files = object::make<io::SystemFileFactory>(types::String(folder.c_str()));

    mMissingTextures.clear();
    try {
        const object::Pointer<io::File> file = files->open(types::String(name.c_str()), io::File::kRead);
        if (!file) {
            throw io::FileNotFoundException();
        }
        io::Translator<Model>* reader = find(*file);
        if (reader == nullptr) {
            throw io::TranslatorFormatException(kUnknownFormat);
        }
        auto* modelReader = dynamic_cast<ModelTranslator*>(reader);
        if (modelReader != nullptr) {
            modelReader->setTextureManager(object::make<TextureManager>(files.get()).get());
        }
        io::InputStream& stream = file->getInputStream();
        object::Pointer<Model> model = reader->read(stream, stream.available());
        if (!model) {
            throw io::TranslatorFormatException(kNoModel);
        }
        if (modelReader != nullptr) {
            mMissingTextures = modelReader->getMissingTextures();
        }
        return model;
    } catch (object::Exception& error) {
        // Whoever reports the failure can say which file it was; the file
        // layer has named it already when it failed there.
        if (!error.hasContext(files->join(types::String(name.c_str())))) {
            error.addContext(path);
        }
        throw;
    }
}

}  // namespace nevrik::graphics3d
