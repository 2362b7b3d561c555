#include "nevrik/graphics3d/core/Shader.h"

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/system/Assembler.h"

namespace nevrik::graphics3d {
namespace {

// Plain functions that render programs call; each works on the calling
// thread's current context, the one the program keeps in ESI.

void enableShader(const Shader* shader) noexcept {
    shader->enable();
}

void disableShader(const Shader* shader) noexcept {
    shader->disable();
}

// The first half of bind() for a shader that is not known until the program
// runs: the current one is disabled and forgotten.
void retireCurrentShader() noexcept {
    if (Context* context = Context::peek()) {
        if (Shader* previous = context->getCurrentShader()) {
            context->setCurrentShader(nullptr);
            previous->disable();
        }
    }
}

void switchCurrentArrays(std::uint32_t mask) noexcept {
    if (Context* context = Context::peek()) {
        context->switchArrays(mask);
    }
}

}  // namespace

Shader::~Shader() {
    Context::forgetCurrent(this);
}

void Shader::compileEnable(system::Assembler& assembler) const {
    assembler.callMember(&enableShader, this);
}

void Shader::compileDisable(system::Assembler& assembler) const {
    assembler.callMember(&disableShader, this);
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

void Shader::compileBind(system::Assembler& assembler) const {
    assembler.callC(&retireCurrentShader);
    assembler.callC(&switchCurrentArrays, mArrayMask);
    Context::compileRecord(assembler, Context::Record::CurrentShader, this);
    compileEnable(assembler);
}

void Shader::compileUnbind(system::Assembler& assembler) const {
    Context::compileRecord(assembler, Context::Record::CurrentShader, nullptr);
    compileDisable(assembler);
}

}  // namespace nevrik::graphics3d
