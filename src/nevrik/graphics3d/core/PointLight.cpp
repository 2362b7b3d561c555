#include "nevrik/graphics3d/core/PointLight.h"

#include "nevrik/graphics3d/core/LightStack.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {

void PointLight::apply(int unit) const {
    if (unit < 0 || unit >= LightStack::kSlots) {
        return;
    }
    const GLenum light = GL_LIGHT0 + static_cast<GLenum>(unit);
    glLightfv(light, GL_AMBIENT, mColours[kAmbient]);
    glLightfv(light, GL_DIFFUSE, mColours[kDiffuse]);
    glLightfv(light, GL_SPECULAR, mColours[kSpecular]);
    // w = 1 makes it a point, not a direction.
    const GLfloat position[4] = {mPosition[0], mPosition[1], mPosition[2], 1.0f};
    glLightfv(light, GL_POSITION, position);
    glLightf(light, GL_CONSTANT_ATTENUATION, mConstantAttenuation);
    glLightf(light, GL_LINEAR_ATTENUATION, mLinearAttenuation);
    glLightf(light, GL_QUADRATIC_ATTENUATION, mQuadraticAttenuation);
    glLightf(light, GL_SPOT_CUTOFF, 180.0f);
    glLightf(light, GL_SPOT_EXPONENT, 0.0f);
}

void PointLight::setPosition(float x, float y, float z) noexcept {
    mPosition[0] = x;
    mPosition[1] = y;
    mPosition[2] = z;
}

void PointLight::setAttenuation(float constant, float linear, float quadratic) noexcept {
    mConstantAttenuation = constant;
    mLinearAttenuation = linear;
    mQuadraticAttenuation = quadratic;
}

}  // namespace nevrik::graphics3d
