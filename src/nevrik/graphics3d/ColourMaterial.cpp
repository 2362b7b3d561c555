#include "nevrik/graphics3d/ColourMaterial.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {

void ColourMaterial::apply() const {
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, mAmbient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, mDiffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, mSpecular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, mEmission);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, mShininess);
    glColor4fv(mDiffuse);
}

}  // namespace nevrik::graphics3d
