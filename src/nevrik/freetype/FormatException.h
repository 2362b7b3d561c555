#pragma once

#include "nevrik/freetype/FreetypeException.h"

namespace nevrik::freetype {

/// The chosen font file could not be opened or turned into a Font.
///
/// Thrown by value, caught by reference; made without a message it reads "FormatException".
NEVRIK_EXCEPTION(FormatException, FreetypeException);

}  // namespace nevrik::freetype
