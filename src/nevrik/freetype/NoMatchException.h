#pragma once

#include "nevrik/freetype/FreetypeException.h"

namespace nevrik::freetype {

/// A font was asked of a FontFactory that has none registered.
///
/// Thrown by value, caught by reference; made without a message it reads "NoMatchException".
NEVRIK_EXCEPTION(NoMatchException, FreetypeException);

}  // namespace nevrik::freetype
