#pragma once

#include "nevrik/application/Listener.h"

#include <cstdint>

namespace nevrik::input {

/// Receives keyboard events through a KeyboardDispatcher.
///
/// Key codes are virtual-key values (arrows 0x25 to 0x28, letters as upper-case
/// ASCII). Every operation does nothing by default. Not an Object: its owner
/// keeps it alive while it is registered, and its destruction unregisters it
/// from every dispatcher. Used only on the thread that feeds the dispatcher.
class KeyboardListener : public application::Listener<KeyboardListener> {
public:
    static constexpr std::uint32_t kLeftKey = 0x25;
    static constexpr std::uint32_t kUpKey = 0x26;
    static constexpr std::uint32_t kRightKey = 0x27;
    static constexpr std::uint32_t kDownKey = 0x28;

    virtual ~KeyboardListener() = default;

    virtual void keyDown(std::uint32_t /*key*/) {}
    virtual void keyUp(std::uint32_t /*key*/) {}
    /// A typed character with the modifier bits held at the time.
    virtual void character(std::uint32_t /*code*/, std::uint32_t /*modifiers*/) {}
};

}  // namespace nevrik::input
