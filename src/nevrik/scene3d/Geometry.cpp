#include "nevrik/scene3d/Geometry.h"

namespace nevrik::scene3d {

object::Pointer<Node> Geometry::clone() const {
    return object::make<Geometry>(*this);
}

void Geometry::updateTransform(const math::Matrix4<float>& parentTransform) {
    if (hasFlag(FLAG_INHERIT)) {
        mWorldTransform = parentTransform * mLocalTransform;
    }
    geometry::OrientedBox box = getLocalBox();
    box.transform(getEffectiveTransform());
    place(box);
}

void Geometry::render(GraphicsContext*, const math::Matrix4<float>&) {}

bool Geometry::pick(const geometry::Ray&, geometry::PickResult*) {
    return false;
}

}  // namespace nevrik::scene3d
