#pragma once

#include "nevrik/input/KeyboardListener.h"
#include "nevrik/input/MouseListener.h"
#include "nevrik/input/Point.h"
#include "nevrik/input/Rect.h"
#include "nevrik/input3d/Controller.h"
#include "nevrik/input3d/detail/MouseArea.h"
#include "nevrik/math/Vector.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::input3d {

/// Flies a camera: the arrow keys turn left and right and step forwards and
/// backwards, a drag looks around, holding the left (right) button flies
/// forwards (backwards) on every update, the wheel steps along the view axis.
/// Turns keep the home y axis as "up".
///
/// Starts with speed 1, which drifts the camera backwards one step per update
/// until a button is pressed or reset() stops it; owners set the step and home
/// frame, then call reset(). Reference-counted like every controller;
/// registered with a KeyboardDispatcher and a MouseDispatcher as a listener.
/// Used only on the thread that delivers input and renders.
class FlightController : public Controller, public input::KeyboardListener, public input::MouseListener {
public:
    /// Speed while the left (forwards) or right (backwards) button is held.
    static constexpr float kButtonSpeed = 0.1f;
    /// Turn per arrow key press and step, in radians (π/128).
    static constexpr float kTurnPerStep = 0.024543693f;

    NEVRIK_CLASS_NAME(Controller, ":FlightController")

    /// Back to the home frame at the origin, at rest.
    void reset() override;
    /// Flies speed · step · dt along the view axis.
    void update(float dt) override;

    void keyDown(std::uint32_t key) override;
    void setArea(const input::Rect& area) override;
    void mouseMoved(const input::Point& position, std::uint32_t state) override;
    void mouseButton(const input::Point& position, std::uint32_t event) override;
    void mouseWheel(float delta) override;

    /// Distance per key press and per wheel unit; 1 at first.
    void setStep(float step) noexcept { mStep = step; }
    float getStep() const noexcept { return mStep; }
    /// The frame reset() restores; `y` is also the axis turns go about. The
    /// world axes at first. Returns false, changing nothing, when a vector is zero.
    bool setHome(const math::Vector3<float>& x, const math::Vector3<float>& y, const math::Vector3<float>& z);
    float getSpeed() const noexcept { return mSpeed; }

private:
    void move(float distance);
    void look(float dx, float dy);

    input::Point mLastMouse;
    detail::MouseArea mArea;
    float mStep = 1.0f;
    math::Vector3<float> mHomeY{0.0f, 1.0f, 0.0f};
    math::Vector3<float> mHomeZ{0.0f, 0.0f, 1.0f};
    math::Vector3<float> mHomeX{1.0f, 0.0f, 0.0f};
    float mSpeed = 1.0f;
};

}  // namespace nevrik::input3d
