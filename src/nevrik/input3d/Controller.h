#pragma once

#include "nevrik/input3d/Constraint.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

namespace nevrik::input3d {

/// One link of a Navigator's chain: keeps its own current transform, which
/// subclasses drive from the input they listen to. The base class never moves.
///
/// Reference-counted: the navigator holds the first controller and each
/// controller holds the next one and its constraint. Used only on the thread
/// that delivers input and renders.
class Controller : public object::Object {
public:
    NEVRIK_CLASS_NAME(object::Object, ":Controller")

    /// Back to the starting transform.
    virtual void reset();
    /// Advances by `dt` (the navigator passes what its owner gives it).
    virtual void update(float dt);
    /// Told that the constraint changed `current`, so that the controller can
    /// adopt the corrected transform as its own state.
    virtual void onConstrained();

    /// Holds a reference on `next` (may be null, ending the chain here).
    /// Returns false, changing nothing, when `next` would close a loop: the
    /// chain leads back to this controller.
    bool setNext(Controller* next);
    Controller* getNext() const noexcept { return mNext.get(); }
    /// Holds a reference on `constraint` (may be null).
    void setConstraint(Constraint* constraint);
    Constraint* getConstraint() const noexcept { return mConstraint.get(); }

    const math::Matrix4<float>& getCurrent() const noexcept { return mCurrent; }

protected:
    /// Identity at construction; subclasses write it in their callbacks.
    math::Matrix4<float> mCurrent;

private:
    // The navigator hands `mCurrent` to the constraint.
    friend class Navigator;

    object::Pointer<Controller> mNext;
    object::Pointer<Constraint> mConstraint;
};

}  // namespace nevrik::input3d
