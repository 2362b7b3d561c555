#include "nevrik/graphics3d/core/FixedShader.h"

#include "nevrik/graphics3d/core/detail/StateCalls.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {

template <class Calls>
void FixedShader::sendEnable(const Calls& calls) const {
    if ((mFlags & kLighting) != 0) {
        detail::send(calls, glEnable, GL_LIGHTING);
        detail::send(calls, glLightModeli, GL_LIGHT_MODEL_LOCAL_VIEWER, (mFlags & kLocalViewer) != 0 ? 1 : 0);
        detail::send(calls, glLightModeli, GL_LIGHT_MODEL_TWO_SIDE, (mFlags & kTwoSided) != 0 ? 1 : 0);
    }
    if ((mFlags & kVertexColours) != 0) {
        detail::send(calls, glColorMaterial, GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        detail::send(calls, glEnable, GL_COLOR_MATERIAL);
    }
    if (texturesUnitZero()) {
        detail::send(calls, glActiveTexture, GL_TEXTURE0);
        detail::send(calls, glEnable, GL_TEXTURE_2D);
        detail::send(calls, glTexEnvi, GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
}

template <class Calls>
void FixedShader::sendDisable(const Calls& calls) const {
    if (texturesUnitZero()) {
        detail::send(calls, glActiveTexture, GL_TEXTURE0);
        detail::send(calls, glDisable, GL_TEXTURE_2D);
    }
    if ((mFlags & kVertexColours) != 0) {
        detail::send(calls, glDisable, GL_COLOR_MATERIAL);
    }
    if ((mFlags & kLighting) != 0) {
        detail::send(calls, glDisable, GL_LIGHTING);
    }
}

void FixedShader::enable() const {
    sendEnable(detail::ImmediateCalls());
}

void FixedShader::disable() const {
    sendDisable(detail::ImmediateCalls());
}

void FixedShader::compileEnable(system::Assembler& assembler) const {
    sendEnable(detail::RecordedCalls{assembler});
}

void FixedShader::compileDisable(system::Assembler& assembler) const {
    sendDisable(detail::RecordedCalls{assembler});
}

}  // namespace nevrik::graphics3d
