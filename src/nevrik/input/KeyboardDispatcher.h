#pragma once

#include "nevrik/application/Dispatcher.h"
#include "nevrik/input/KeyboardListener.h"

#include <cstdint>

namespace nevrik::input {

/// Passes keyboard events on to every registered KeyboardListener, in
/// registration order; no listener can stop the walk.
///
/// Kept alive by its owner; used only on the thread that delivers the keys.
class KeyboardDispatcher : public application::Dispatcher<KeyboardListener> {
public:
    NEVRIK_CLASS_NAME(application::Dispatcher<KeyboardListener>, ":KeyboardDispatcher")

    void keyDown(std::uint32_t key);
    void keyUp(std::uint32_t key);
    void character(std::uint32_t code, std::uint32_t modifiers);
};

}  // namespace nevrik::input
