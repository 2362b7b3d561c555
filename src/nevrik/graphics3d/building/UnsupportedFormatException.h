#pragma once

#include "nevrik/graphics3d/core/Graphics3dException.h"

namespace nevrik::graphics3d {

/// A pixel or vertex format the rendering layer cannot translate. Its text is "UnsupportedFormatException".
NEVRIK_EXCEPTION(UnsupportedFormatException, Graphics3dException);

}  // namespace nevrik::graphics3d
