#pragma once

#include "nevrik/graphics3d/core/Graphics3dException.h"

namespace nevrik::graphics3d {

/// A data type the rendering layer has no use for. Its text is "TypeException".
NEVRIK_EXCEPTION(TypeException, Graphics3dException);

}  // namespace nevrik::graphics3d
