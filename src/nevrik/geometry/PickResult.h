#pragma once

#include "nevrik/math/Vector.h"

namespace nevrik::graphics3d {
class Model;
class Mesh;
}  // namespace nevrik::graphics3d

namespace nevrik::scene3d {
class Node;
}  // namespace nevrik::scene3d

namespace nevrik::geometry {

/// Where a ray met something: the hit point, the unnormalised face normal and
/// the ray parameter, then what was hit. Colliders and bounding tests write
/// the first three fields only; the model, mesh and node are filled in by the
/// layers that know them.
///
/// A plain record, usually on the caller's stack. The pointers borrow: they
/// hold no reference and are valid only while the scene is unchanged.
struct PickResult {
    math::Vector3<float> point;
    math::Vector3<float> normal;
    float distance = 0.0f;
    graphics3d::Model* model = nullptr;
    graphics3d::Mesh* mesh = nullptr;
    scene3d::Node* node = nullptr;
};

}  // namespace nevrik::geometry
