#include "nevrik/graphics3d/core/Mesh.h"

namespace nevrik::graphics3d {

Mesh::~Mesh() = default;

bool Mesh::updateBounds() {
    return false;
}

bool Mesh::createCollider() {
    return false;
}

bool Mesh::compile(system::Assembler&) const {
    return false;
}

void Mesh::setAppearance(Appearance* appearance) {
    mAppearance.reset(appearance);
}

void Mesh::applyAppearance() const {
    if (mAppearance) {
        mAppearance->apply();
    }
}

void Mesh::setCollider(object::Pointer<geometry::MeshCollider3<float>> collider) noexcept {
    mCollider = std::move(collider);
}

}  // namespace nevrik::graphics3d
