#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/graphics3d/core/Model.h"
#include "nevrik/graphics3d/loading/ModelTranslator.h"
#include "nevrik/graphics3d/loading/Translator3DS.h"
#include "nevrik/graphics3d/loading/TranslatorGLTF.h"
#include "nevrik/graphics3d/loading/TranslatorOBJ.h"
#include "nevrik/io/TranslatorRoster.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

namespace nevrik::graphics3d {

/// Every model reader of the engine, and the one call that reads a model
/// file by path: the reader is chosen by the file's content (each probe in
/// turn), and the textures the model names are looked for in its folder.
///
/// Holds its readers by value; readers added later take part as well, and
/// those that are model translators get the same texture lookup.
/// Reference-counted or held by value; used on the thread of the current
/// context, as the models it makes are.
class ModelRoster : public io::TranslatorRoster<Model> {
public:
    ModelRoster();
    ModelRoster(const ModelRoster&) = delete;
    ModelRoster& operator=(const ModelRoster&) = delete;

    /// The messages of the failures when no reader recognises a file and
    /// when its reader finds no model in it.
    static constexpr const char* kUnknownFormat = "no model reader recognises its content";
    static constexpr const char* kNoModel = "it holds no model";

    /// The model in the file at `path` (relative to the current directory or
    /// absolute), with the caller's only reference; never null. Textures come
    /// from the file's folder through a texture manager of this read. Throws
    /// io::FileNotFoundException and the other IOExceptions of opening the
    /// file, io::TranslatorFormatException when no reader claims it
    /// (kUnknownFormat) or its reader finds no model in it (kNoModel), and
    /// whatever the reader throws; every one of them names the file in its
    /// context.
    object::Pointer<Model> readFile(const types::String& path);

    /// The textures the model read last names but that could not be had.
    const container::Array<ModelTranslator::MissingTexture>& getMissingTextures() const noexcept {
        return mMissingTextures;
    }

    NEVRIK_CLASS_NAME(io::TranslatorRoster<Model>, ":ModelRoster")

private:
    Translator3DS m3DS;
    TranslatorOBJ mOBJ;
    TranslatorGLTF mGLTF;
    container::Array<ModelTranslator::MissingTexture> mMissingTextures;
};

}  // namespace nevrik::graphics3d
