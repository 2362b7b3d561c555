#include "nevrik/input3d/Navigator.h"

namespace nevrik::input3d {

void Navigator::update(float dt) {
    if (!mFirst) {
        return;
    }
    mTransform = math::Matrix4<float>();
    for (Controller* controller = mFirst.get(); controller != nullptr; controller = controller->getNext()) {
        controller->update(dt);
        Constraint* constraint = controller->getConstraint();
        if (constraint != nullptr && constraint->apply(controller->mCurrent)) {
            controller->onConstrained();
        }
        mTransform = mTransform * controller->getCurrent();
    }
}

void Navigator::setFirst(Controller* first) {
    mFirst.reset(first);
}

}  // namespace nevrik::input3d
