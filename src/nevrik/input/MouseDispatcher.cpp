#include "nevrik/input/MouseDispatcher.h"

namespace nevrik::input {

void MouseDispatcher::setArea(const Rect& area) {
    dispatch(&MouseListener::setArea, area);
}

void MouseDispatcher::mouseMoved(const Point& position, std::uint32_t state) {
    dispatch(&MouseListener::mouseMoved, position, state);
}

void MouseDispatcher::mouseButton(const Point& position, std::uint32_t event) {
    dispatch(&MouseListener::mouseButton, position, event);
}

void MouseDispatcher::mouseWheel(float delta) {
    dispatch(&MouseListener::mouseWheel, delta);
}

}  // namespace nevrik::input
