#pragma once

#include "nevrik/freetype/detail/Library.h"
#include "nevrik/io/File.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/system/Mutex.h"
#include "nevrik/types/String.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace nevrik::freetype::detail {

/// Face 0 of a font file, read through the engine's File (never by path), and
/// the FreeType mutex held for as long as the face is open.
///
/// Lives on the stack of one call; the file must outlive it.
class Face : private object::Noncopyable {
public:
    /// Takes the FreeType mutex and opens the face; test with isOpen().
    explicit Face(io::File& file) noexcept;
    /// Closes the face, then lets go of the mutex.
    ~Face();

    bool isOpen() const noexcept { return mFace != nullptr; }
    FT_Face get() const noexcept { return mFace; }
    /// The face's names; empty when it has none.
    types::String getFamilyName() const;
    types::String getStyleName() const;

private:
    system::Mutex::Guard mGuard;
    FT_StreamRec mStream = {};
    FT_Face mFace = nullptr;
};

}  // namespace nevrik::freetype::detail
