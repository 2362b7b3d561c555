#pragma once

#include "nevrik/graphics3d/core/Graphics3dException.h"

namespace nevrik::graphics3d {

/// A primitive type a mesh cannot draw or convert. Its text is "UnsupportedPrimitiveException".
NEVRIK_EXCEPTION(UnsupportedPrimitiveException, Graphics3dException);

}  // namespace nevrik::graphics3d
