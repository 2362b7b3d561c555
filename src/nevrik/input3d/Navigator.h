#pragma once

#include "nevrik/input3d/Controller.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

namespace nevrik::input3d {

/// Combines a chain of controllers into one camera transform: the product of
/// their current transforms in chain order, each corrected by its constraint.
///
/// Reference-counted; holds a reference on the first controller (which holds
/// the rest). The owner copies getTransform() into the camera once per frame.
/// Used only on the thread that delivers input and renders.
class Navigator : public object::Object {
public:
    NEVRIK_CLASS_NAME(object::Object, ":Navigator")

    /// Updates every controller and recomputes the transform; with no
    /// controller the transform stays as it is.
    void update(float dt);

    const math::Matrix4<float>& getTransform() const noexcept { return mTransform; }
    /// Holds a reference on `first` (may be null).
    void setFirst(Controller* first);
    Controller* getFirst() const noexcept { return mFirst.get(); }

private:
    math::Matrix4<float> mTransform;
    object::Pointer<Controller> mFirst;
};

}  // namespace nevrik::input3d
