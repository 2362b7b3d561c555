#include "nevrik/input/KeyboardDispatcher.h"

namespace nevrik::input {

void KeyboardDispatcher::keyDown(std::uint32_t key) {
    dispatch(&KeyboardListener::keyDown, key);
}

void KeyboardDispatcher::keyUp(std::uint32_t key) {
    dispatch(&KeyboardListener::keyUp, key);
}

void KeyboardDispatcher::character(std::uint32_t code, std::uint32_t modifiers) {
    dispatch(&KeyboardListener::character, code, modifiers);
}

}  // namespace nevrik::input
