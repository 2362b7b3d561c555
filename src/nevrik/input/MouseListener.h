#pragma once

#include "nevrik/application/Listener.h"
#include "nevrik/input/Point.h"
#include "nevrik/input/Rect.h"

#include <cstdint>

namespace nevrik::input {

/// Receives the mouse events of a view through a MouseDispatcher.
///
/// Every operation does nothing by default, so a listener overrides only what
/// it uses. Not an Object: whoever owns the listener keeps it alive while it is
/// registered, and its destruction unregisters it from every dispatcher. Used
/// only on the thread of the window that feeds the dispatcher.
class MouseListener : public application::Listener<MouseListener> {
public:
    /// Button state bits of `mouseMoved`, and the press events of `mouseButton`.
    static constexpr std::uint32_t kLeftButton = 0x1000;
    static constexpr std::uint32_t kMiddleButton = 0x2000;
    static constexpr std::uint32_t kRightButton = 0x4000;
    static constexpr std::uint32_t kAnyButton = kLeftButton | kMiddleButton | kRightButton;
    /// Release events of `mouseButton`.
    static constexpr std::uint32_t kLeftReleased = 0x10000;
    static constexpr std::uint32_t kMiddleReleased = 0x20000;
    static constexpr std::uint32_t kRightReleased = 0x40000;
    /// Modifier bits that may accompany a state word.
    static constexpr std::uint32_t kShift = 0x3;
    static constexpr std::uint32_t kControl = 0xC;

    virtual ~MouseListener() = default;

    /// The rectangle that positions refer to; sent when the owner's size changes.
    virtual void setArea(const Rect& /*area*/) {}
    /// `state` holds the button bits held during the move.
    virtual void mouseMoved(const Point& /*position*/, std::uint32_t /*state*/) {}
    /// `event` is the press or release bit of one button.
    virtual void mouseButton(const Point& /*position*/, std::uint32_t /*event*/) {}
    /// Positive away from the user.
    virtual void mouseWheel(float /*delta*/) {}
};

}  // namespace nevrik::input
