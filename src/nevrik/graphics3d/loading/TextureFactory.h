#pragma once

#include "nevrik/graphics/TranslatorRoster.h"
#include "nevrik/graphics3d/core/Texture.h"
#include "nevrik/io/FileFactory.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

namespace nevrik::graphics3d {

/// Loads textures from image files: the file is found through a file
/// factory and decoded by the first image translator that claims it.
///
/// Names come from model files written on other systems, so only their base
/// name counts (drive, folders and "../" dropped, either slash): it is looked
/// for in the factory's folder as written, then case-insensitively among the
/// folder's entries. Nothing outside that folder is ever opened.
///
/// Held by value by a TextureManager (or by whoever loads textures); holds a
/// reference on its file factory. Used on the thread of the current context.
class TextureFactory : public object::Object, private object::Noncopyable {
public:
    /// Names are taken relative to the current directory.
    TextureFactory();
    /// Names are opened through `files`; null is taken as the current
    /// directory's factory.
    explicit TextureFactory(io::FileFactory* files);

    NEVRIK_CLASS_NAME(object::Object, ":TextureFactory")

    /// A new texture with its only reference, from the image file `name`,
    /// with generated mipmaps and trilinear filtering. Throws
    /// io::FileNotFoundException when the folder has no such file (or the
    /// name has no base name),
    /// io::TranslatorFormatException when no translator claims it,
    /// TypeException and TextureException as Texture2D::create does, and
    /// whatever the file factory and the translator throw.
    object::Pointer<Texture> create(const types::String& name);
    /// A new texture with its only reference, from the picture at the
    /// position of the open `file` (one another file embeds, say), made as
    /// above; throws as above, FileNotFoundException aside.
    object::Pointer<Texture> create(io::File& file);

    io::FileFactory& getFiles() const noexcept { return *mFiles; }
    graphics::TranslatorRoster& getTranslators() noexcept { return mTranslators; }

    /// The base name of `name`: what follows its last "/", "\\" or drive
    /// colon; empty for "", "." and "..", which name no file.
    static types::String baseName(const types::String& name);

    /// The entry of the folder that the file name `name` stands for, by the
    /// rule above; throws io::FileNotFoundException when there is none. Used
    /// for every file a model names, not only pictures.
    types::String findFile(const types::String& name);

private:
    graphics::TranslatorRoster mTranslators;
    object::Pointer<io::FileFactory> mFiles;
};

}  // namespace nevrik::graphics3d
