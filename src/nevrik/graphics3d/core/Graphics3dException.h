#pragma once

#include "nevrik/object/Exception.h"

namespace nevrik::graphics3d {

/// Root of the rendering layer's exceptions; its text is its class name
/// unless a thrower gives one.
NEVRIK_EXCEPTION(Graphics3dException, object::Exception);

}  // namespace nevrik::graphics3d
