#pragma once

#include "nevrik/object/Exception.h"

namespace nevrik::freetype {

/// FreeType could not open a font file as a face; root of the font errors.
///
/// Thrown by value, caught by reference; made without a message it reads "FreetypeException".
NEVRIK_EXCEPTION(FreetypeException, object::Exception);

}  // namespace nevrik::freetype
