#include "nevrik/graphics3d/Light.h"

#include "nevrik/graphics3d/Context.h"

namespace nevrik::graphics3d {

Light::~Light() {
    Context::forgetCurrent(this);
}

}  // namespace nevrik::graphics3d
