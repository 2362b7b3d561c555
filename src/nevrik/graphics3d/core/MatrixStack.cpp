#include "nevrik/graphics3d/core/MatrixStack.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {

void MatrixStack::setMode(std::uint32_t mode) {
    mMode = mode;
    if (mode == GL_MODELVIEW || mode == GL_PROJECTION) {
        glMatrixMode(mode);
        return;
    }
    glActiveTexture(mode);
    glMatrixMode(GL_TEXTURE);
}

void MatrixStack::load(const math::Matrix4<float>& matrix) {
    select(GL_MODELVIEW);
    glLoadTransposeMatrixf(matrix.getElements());
}

void MatrixStack::push(std::uint32_t mode) {
    select(mode);
    glPushMatrix();
    glLoadIdentity();
}

void MatrixStack::pop(std::uint32_t mode) {
    select(mode);
    glPopMatrix();
}

void MatrixStack::select(std::uint32_t mode) {
    if (mMode != mode) {
        setMode(mode);
    }
}

}  // namespace nevrik::graphics3d
