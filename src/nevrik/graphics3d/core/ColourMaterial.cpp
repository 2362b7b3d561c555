#include "nevrik/graphics3d/core/ColourMaterial.h"

#include "nevrik/graphics3d/core/detail/StateCalls.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {

template <class Calls>
void ColourMaterial::send(const Calls& calls) const {
    constexpr GLenum kNames[kColours] = {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_EMISSION};
    for (int colour = 0; colour < kColours; ++colour) {
        detail::send(calls, glMaterialfv, GL_FRONT_AND_BACK, kNames[colour], mColours[colour]);
    }
    detail::send(calls, glMaterialf, GL_FRONT_AND_BACK, GL_SHININESS, mShininess);
    detail::send(calls, glColor4fv, mColours[kDiffuse]);
}

void ColourMaterial::apply() const {
    send(detail::ImmediateCalls());
}

bool ColourMaterial::compileApply(system::Assembler& assembler) const {
    send(detail::RecordedCalls{assembler});
    return true;
}

}  // namespace nevrik::graphics3d
