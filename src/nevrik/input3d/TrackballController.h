#pragma once

#include "nevrik/input/MouseListener.h"
#include "nevrik/input/Point.h"
#include "nevrik/input/Rect.h"
#include "nevrik/input3d/Controller.h"
#include "nevrik/input3d/detail/MouseArea.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/math/Vector.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::input3d {

/// Orbits a camera with the mouse: a left drag turns it on a virtual trackball
/// over the mouse area, a right drag pans, a middle drag or the wheel dollies.
/// Its transform is the rotation followed by the accumulated pan; chained
/// before a fixed translation it orbits the origin at that distance.
///
/// Reference-counted like every controller (the navigator chain holds it);
/// registered with a MouseDispatcher as a listener, which holds nothing.
/// Used only on the thread that delivers input and renders.
class TrackballController : public Controller, public input::MouseListener {
public:
    /// Radius of the virtual trackball in area units (the area spans -1 to 1).
    static constexpr float kRadius = 0.8f;

    NEVRIK_CLASS_NAME(Controller, ":TrackballController")

    void reset() override;
    /// `current` becomes the rotation followed by the pan; `dt` is not used.
    void update(float dt) override;
    /// Takes the constrained `current` as rotation and pan, so that the next
    /// update reproduces it.
    void onConstrained() override;

    void setArea(const input::Rect& area) override;
    void mouseMoved(const input::Point& position, std::uint32_t state) override;
    void mouseWheel(float delta) override;

    /// Translation per pixel of mouse motion and per unit of wheel delta (1 at first).
    void setScale(float scale) noexcept { mScale = scale; }
    float getScale() const noexcept { return mScale; }
    /// When set, pans and dollies move along the camera's own axes and the pan
    /// is added after the rotation unturned; otherwise they move along the
    /// world axes and the pan is turned with the camera. Off at first.
    void setPanInViewSpace(bool panInViewSpace) noexcept { mPanInViewSpace = panInViewSpace; }
    bool isPanInViewSpace() const noexcept { return mPanInViewSpace; }

    const math::Matrix4<float>& getRotation() const noexcept { return mRotation; }
    const math::Vector3<float>& getPan() const noexcept { return mPan; }

private:
    void rotate(const input::Point& from, const input::Point& to);
    void dolly(float amount);
    // A position lifted onto the trackball: a sphere near the centre, a
    // hyperbolic sheet further out, y turned upwards.
    math::Vector3<float> lift(const input::Point& position) const;

    math::Vector3<float> mPan;
    math::Matrix4<float> mRotation;
    detail::MouseArea mArea;
    input::Point mLastMouse;
    float mScale = 1.0f;
    bool mPanInViewSpace = false;
};

}  // namespace nevrik::input3d
