#pragma once

#include "nevrik/math/Matrix4.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

namespace nevrik::input3d {

/// Corrects a controller's transform after each of its updates (keeps a camera
/// above the ground, inside a box, ...).
///
/// Reference-counted: each controller using it holds a reference. Used on the
/// thread that drives the navigator.
class Constraint : public object::Object {
public:
    NEVRIK_CLASS_NAME(object::Object, ":Constraint")

    /// Adjusts `transform` in place; true when it changed anything.
    virtual bool apply(math::Matrix4<float>& transform) = 0;
};

}  // namespace nevrik::input3d
