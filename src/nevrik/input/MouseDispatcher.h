#pragma once

#include "nevrik/application/Dispatcher.h"
#include "nevrik/input/MouseListener.h"
#include "nevrik/input/Point.h"
#include "nevrik/input/Rect.h"

#include <cstdint>

namespace nevrik::input {

/// Passes a view's mouse events on to every registered MouseListener, in
/// registration order; no listener can stop the walk and nothing is reported back.
///
/// Kept alive by its owner (the object whose unconsumed events it forwards);
/// used only on that owner's window thread.
class MouseDispatcher : public application::Dispatcher<MouseListener> {
public:
    NEVRIK_CLASS_NAME(application::Dispatcher<MouseListener>, ":MouseDispatcher")

    void setArea(const Rect& area);
    void mouseMoved(const Point& position, std::uint32_t state);
    void mouseButton(const Point& position, std::uint32_t event);
    void mouseWheel(float delta);
};

}  // namespace nevrik::input
