#include "nevrik/graphics3d/Shader.h"

#include "nevrik/graphics3d/Context.h"

namespace nevrik::graphics3d {

Shader::~Shader() {
    Context::forgetCurrent(this);
}

bool Shader::bind() {
    Context* context = Context::peek();
    if (context == nullptr) {
        return false;
    }
    Shader* previous = context->getCurrentShader();
    context->setCurrentShader(this);
    if (previous != nullptr) {
        previous->disable();
    }
    context->switchArrays(mArrayMask);
    enable();
    return true;
}

void Shader::unbind() {
    if (Context* context = Context::peek()) {
        context->releaseShaderAndArrays();
    }
}

}  // namespace nevrik::graphics3d
