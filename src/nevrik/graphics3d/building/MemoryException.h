#pragma once

#include "nevrik/graphics3d/core/Graphics3dException.h"

namespace nevrik::graphics3d {

/// Memory for a rendering resource that cannot be had. Its text is "MemoryException".
NEVRIK_EXCEPTION(MemoryException, Graphics3dException);

}  // namespace nevrik::graphics3d
