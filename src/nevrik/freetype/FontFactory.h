#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/freetype/Descriptor.h"
#include "nevrik/freetype/Font.h"
#include "nevrik/freetype/FontInfo.h"
#include "nevrik/io/FileFactory.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

namespace nevrik::freetype {

/// Finds the font files of one folder and makes fonts from the one that best
/// matches a Descriptor.
///
/// Keeps a reference on the file factory it reads through, and a registry of
/// every file FreeType could open, in listing order. Reference-counted. One
/// thread at a time per factory; factories on different threads may make
/// fonts at once, since every FreeType call holds one process-wide mutex.
class FontFactory : public object::Object {
public:
    /// Reads the fonts of the current folder.
    FontFactory();
    /// Reads the fonts that `files` lists.
    explicit FontFactory(io::FileFactory& files);

    /// Reads fonts through `files` from now on: lists its folder and registers
    /// every entry that is not a folder and that FreeType opens. Throws what
    /// the listing throws (DirectoryNotFoundException), leaving the factory
    /// and the registry as they were.
    void setFileFactory(io::FileFactory& files);
    /// Adds the file `name` to the registry when it opens for reading and
    /// FreeType opens it as a face; false, changing nothing, otherwise.
    bool registerFont(const types::String& name);
    /// A new font (its only reference) from the registered file that matches
    /// best: a family equal to the descriptor's scores 100, a style equal to
    /// its style 50, both without regard to letter case; among equal scores
    /// the last registered wins. Throws NoMatchException when nothing is
    /// registered, FormatException when the chosen file cannot be opened or
    /// made into a font, FreetypeException when FreeType no longer opens it.
    object::Pointer<Font> createFont(const Descriptor& descriptor);

    NEVRIK_CLASS_NAME(object::Object, ":FontFactory")

    io::FileFactory* getFileFactory() const noexcept { return mFiles.get(); }
    /// The registered files, in the order they were registered.
    const container::Array<FontInfo>& getFonts() const noexcept { return mFonts; }

private:
    object::Pointer<io::FileFactory> mFiles;
    container::Array<FontInfo> mFonts;
};

}  // namespace nevrik::freetype
