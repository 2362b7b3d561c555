#include "nevrik/graphics3d/core/Material.h"

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/detail/StateCalls.h"

namespace nevrik::graphics3d {
namespace {

// A program reaches apply() through a plain function taking the object first.
void applyMaterial(const Material* material) noexcept {
    material->apply();
}

}  // namespace

Material::~Material() {
    Context::forgetCurrent(this);
}

void Material::apply() const {}

bool Material::compileApply(system::Assembler& /*assembler*/) const {
    return false;
}

void Material::compile(system::Assembler& assembler) const {
    Context::compileRecord(assembler, Context::Record::CurrentMaterial, this);
    if (!compileApply(assembler)) {
        assembler.callMember(&applyMaterial, this);
    }
}

}  // namespace nevrik::graphics3d
