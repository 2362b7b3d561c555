#include "nevrik/input3d/Controller.h"

namespace nevrik::input3d {

void Controller::reset() {}

void Controller::update(float /*dt*/) {}

void Controller::onConstrained() {}

bool Controller::setNext(Controller* next) {
    // A loop would make every navigator update spin for ever and keep the
    // controllers alive through their own references.
    for (const Controller* link = next; link != nullptr; link = link->getNext()) {
        if (link == this) {
            return false;
        }
    }
    mNext.reset(next);
    return true;
}

void Controller::setConstraint(Constraint* constraint) {
    mConstraint.reset(constraint);
}

}  // namespace nevrik::input3d
