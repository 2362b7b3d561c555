#pragma once

#include <GL/glew.h>

namespace nevrik::graphics3d {

// The next texture name the driver hands out, given back at once. Mesa
// counts names upwards, so every name it makes later is at least this.
inline GLuint nextName() {
    GLuint name = 0;
    glGenTextures(1, &name);
    glDeleteTextures(1, &name);
    return name;
}

// Counts the texture objects alive among the names handed out since
// `first`, a name that nextName() returned.
inline int liveTexturesSince(GLuint first) {
    const GLuint end = nextName();
    int live = 0;
    for (GLuint name = first; name < end; ++name) {
        live += glIsTexture(name) == GL_TRUE ? 1 : 0;
    }
    return live;
}

}  // namespace nevrik::graphics3d
