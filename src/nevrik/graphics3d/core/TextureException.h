#pragma once

#include "nevrik/graphics3d/core/Graphics3dException.h"

namespace nevrik::graphics3d {

/// A texture that cannot be made or used. Its text is "TextureException".
NEVRIK_EXCEPTION(TextureException, Graphics3dException);

}  // namespace nevrik::graphics3d
