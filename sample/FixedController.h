#pragma once

#include "nevrik/input3d/Controller.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/types/String.h"

namespace nevrik::sample {

/// A controller that holds the camera at one fixed transform: every update
/// copies it into the current transform. Chained after a trackball it sets
/// the distance the camera orbits at.
///
/// Reference-counted like every controller (the navigator chain holds it);
/// used only on the window thread that delivers input and renders.
class FixedController : public input3d::Controller {
public:
    NEVRIK_CLASS_NAME(input3d::Controller, ":FixedController")

    /// The current transform becomes the fixed one; `dt` is not used.
    void update(float dt) override;

    const math::Matrix4<float>& getFixed() const noexcept { return mFixed; }
    /// Takes effect at the next update.
    void setFixed(const math::Matrix4<float>& fixed) noexcept { mFixed = fixed; }

private:
    math::Matrix4<float> mFixed;
};

}  // namespace nevrik::sample
