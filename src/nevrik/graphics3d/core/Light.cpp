#include "nevrik/graphics3d/core/Light.h"

#include "nevrik/graphics3d/core/Context.h"

namespace nevrik::graphics3d {

Light::~Light() {
    Context::forgetCurrent(this);
}

}  // namespace nevrik::graphics3d
