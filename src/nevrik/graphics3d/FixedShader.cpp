#include "nevrik/graphics3d/FixedShader.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {

void FixedShader::enable() const {
    if ((mFlags & kLighting) != 0) {
        glEnable(GL_LIGHTING);
        glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, (mFlags & kLocalViewer) != 0 ? 1 : 0);
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, (mFlags & kTwoSided) != 0 ? 1 : 0);
    }
}

void FixedShader::disable() const {
    if ((mFlags & kLighting) != 0) {
        glDisable(GL_LIGHTING);
    }
}

}  // namespace nevrik::graphics3d
