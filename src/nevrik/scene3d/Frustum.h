#pragma once

#include "nevrik/geometry/Cube.h"
#include "nevrik/geometry/OrientedBox.h"
#include "nevrik/math/Vector.h"

namespace nevrik::scene3d {

/// A viewer's view pyramid, cut by a near and a far plane, for culling boxes
/// and octree cells.
///
/// The eye sits at `origin` looking along `direction` (not normalised; every
/// distance is in units of its length). The window at the near plane has
/// half-axes a0 and a1, assumed perpendicular to `direction`, and its centre
/// lies e0·a0 + e1·a1 off the view axis. Every derived field is recomputed by
/// the setter whose input it depends on, so none is ever stale.
///
/// A plain value: each viewer holds its own, and traversals copy it; a copy
/// belongs to the thread that uses it.
class Frustum {
public:
    /// Planes through the eye, in order n(0,+), n(0,-), n(1,+), n(1,-).
    static constexpr int kSidePlanes = 4;

    /// Classification results of classify().
    static constexpr int kOutside = 0;
    static constexpr int kCrossing = 1;
    static constexpr int kInside = 2;

    /// Eye at the origin looking down -z through a window of half-axes x and
    /// y at distance 1 (a 90 degree view), far plane at 1000, centred window.
    Frustum() noexcept;

    void setOrigin(const math::Vector3<float>& origin) noexcept;
    void setDirection(const math::Vector3<float>& direction) noexcept;
    /// Half-axis `index` of the near window. Returns false, changing nothing,
    /// unless index is 0 or 1.
    bool setAxis(int index, const math::Vector3<float>& axis) noexcept;
    /// Offset of the window centre from the view axis, in half-axis units.
    void setWindowOffset(float e0, float e1) noexcept;
    /// Returns false, changing nothing, unless `distance` is finite and
    /// positive: the far window is scaled by far/near.
    bool setNear(float distance) noexcept;
    /// Returns false, changing nothing, unless `distance` is finite.
    bool setFar(float distance) noexcept;

    /// Whether `box` may be visible: false only when one of eight axes
    /// separates it from the pyramid (touching counts as separated).
    bool intersects(const geometry::OrientedBox& box) const noexcept;
    /// Whether an octree cell's loose cube (half-width `edge`) may be visible.
    bool intersects(const geometry::Cube& loose) const noexcept;
    /// kOutside, kCrossing or kInside (all eight corners strictly inside every
    /// plane) for an octree cell's loose cube (half-width `edge`).
    int classify(const geometry::Cube& loose) const noexcept;

    // Indexed getters wrap their index (k & 1, k & 3) rather than read past
    // the arrays.
    const math::Vector3<float>& getOrigin() const noexcept { return mOrigin; }
    const math::Vector3<float>& getDirection() const noexcept { return mDirection; }
    /// e0 (index 0) or e1 (index 1).
    float getWindowOffset(int index) const noexcept { return mWindowOffset[index & 1]; }
    float getNear() const noexcept { return mNear; }
    float getFar() const noexcept { return mFar; }
    const math::Vector3<float>& getNearCentre() const noexcept { return mNearCentre; }
    const math::Vector3<float>& getFarCentre() const noexcept { return mFarCentre; }
    const math::Vector3<float>& getAxis(int index) const noexcept { return mAxes[index & 1]; }
    /// |a_index|².
    float getAxisLength(int index) const noexcept { return mAxisLengths[index & 1]; }
    /// e_index·a_index.
    const math::Vector3<float>& getScaledAxis(int index) const noexcept { return mScaledAxes[index & 1]; }
    /// e_index·|a_index|².
    float getScaledLength(int index) const noexcept { return mScaledLengths[index & 1]; }
    const math::Vector3<float>& getNearWindow() const noexcept { return mNearWindow; }
    const math::Vector3<float>& getFarWindow() const noexcept { return mFarWindow; }
    /// |direction|².
    float getDirectionLength() const noexcept { return mDirectionLength; }
    float getNearDot() const noexcept { return mNearDot; }
    float getFarDot() const noexcept { return mFarDot; }
    /// far / near.
    float getRatio() const noexcept { return mRatio; }
    /// Side plane `index` (0 to 3); x is outside it when n·(x - origin) > 0.
    const math::Vector3<float>& getSidePlane(int index) const noexcept { return mSidePlanes[index & 3]; }

private:
    // Each refreshes the fields it names from the stored inputs; a setter
    // calls those that read what it changed, in this order.
    void updateDepths() noexcept;   // directionLength, nearDot, farDot, ratio
    void updateScaled() noexcept;   // axisLengths, scaledAxes, scaledLengths
    void updatePoints() noexcept;   // nearCentre, farCentre, nearWindow, farWindow
    void updatePlanes() noexcept;   // sidePlanes

    math::Vector3<float> mOrigin;
    math::Vector3<float> mDirection{0.0f, 0.0f, -1.0f};
    float mWindowOffset[2] = {0.0f, 0.0f};
    float mNear = 1.0f;
    float mFar = 1000.0f;
    math::Vector3<float> mNearCentre;
    math::Vector3<float> mFarCentre;
    math::Vector3<float> mAxes[2] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}};
    float mAxisLengths[2] = {};
    math::Vector3<float> mScaledAxes[2];
    float mScaledLengths[2] = {};
    math::Vector3<float> mNearWindow;
    math::Vector3<float> mFarWindow;
    float mDirectionLength = 0.0f;
    float mNearDot = 0.0f;
    float mFarDot = 0.0f;
    float mRatio = 0.0f;
    math::Vector3<float> mSidePlanes[kSidePlanes];
};

}  // namespace nevrik::scene3d
