#include "nevrik/graphics3d/Material.h"

#include "nevrik/graphics3d/Context.h"

namespace nevrik::graphics3d {

Material::~Material() {
    Context::forgetCurrent(this);
}

void Material::apply() const {}

}  // namespace nevrik::graphics3d
