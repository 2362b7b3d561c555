#include "nevrik/graphics3d/core/LightStack.h"

#include "nevrik/graphics3d/core/Light.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {

bool LightStack::put(int unit, Light* light) {
    if (unit < 0 || unit >= kSlots || light == nullptr) {
        return false;
    }
    if (mLights[unit] == nullptr) {
        glEnable(GL_LIGHT0 + unit);
    }
    mLights[unit] = light;
    light->apply(unit);
    return true;
}

void LightStack::remove(const Light* light) {
    for (int unit = 0; unit < kSlots; ++unit) {
        if (light != nullptr && mLights[unit] == light) {
            mLights[unit] = nullptr;
            glDisable(GL_LIGHT0 + unit);
        }
    }
}

Light* LightStack::get(int unit) const noexcept {
    return unit >= 0 && unit < kSlots ? mLights[unit] : nullptr;
}

}  // namespace nevrik::graphics3d
