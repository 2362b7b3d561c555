#pragma once

#include "nevrik/geometry/BoundingBox.h"
#include "nevrik/geometry/PickResult.h"
#include "nevrik/geometry/Ray.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/math/Vector.h"

namespace nevrik::geometry {

/// A box of any orientation: every point c + s0·a0 + s1·a1 + s2·a2 with
/// |si| <= 1, where c is the centre and each half-axis ai runs from the
/// centre to the middle of a face. The squared length of each half-axis is
/// kept beside it and is never stale: only setAxis() and transform() change
/// an axis, and both update it.
///
/// A plain value: copied freely, never reference-counted.
class OrientedBox {
public:
    /// Centred at the origin with the unit vectors as half-axes: the cube of
    /// edge 2.
    constexpr OrientedBox() noexcept = default;
    /// The box that `box` spans: centre (min + max) / 2, half-axes along x, y
    /// and z of half its extents.
    explicit OrientedBox(const BoundingBox<float>& box) noexcept;

    /// The smallest axis-aligned box around this one: extent ei = |a0i| +
    /// |a1i| + |a2i| on each side of the centre.
    BoundingBox<float> toBoundingBox() const noexcept;

    /// Carries the box by `m`: the centre as a point, the half-axes as
    /// directions.
    void transform(const math::Matrix4<float>& m) noexcept;

    const math::Vector3<float>& getCentre() const noexcept { return mCentre; }
    void setCentre(const math::Vector3<float>& centre) noexcept { mCentre = centre; }
    /// Half-axis `index` (0 to 2).
    const math::Vector3<float>& getAxis(int index) const noexcept;
    /// Squared length of half-axis `index` (0 to 2).
    float getSquaredLength(int index) const noexcept;
    /// Sets half-axis `index` and its squared length. Returns false, changing
    /// nothing, unless 0 <= index <= 2.
    bool setAxis(int index, const math::Vector3<float>& axis) noexcept;

private:
    math::Vector3<float> mCentre;
    math::Vector3<float> mAxes[3] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
    float mSquaredLengths[3] = {1.0f, 1.0f, 1.0f};
};

/// Whether `ray` (t from 0 on) meets `box`, by a slab test along the three
/// half-axes. On a hit `hit`, when given, gets the entry point, the point
/// minus the centre as normal, and the entry parameter; a ray starting inside
/// the box hits at distance 0. Axes are assumed to be mutually perpendicular.
bool intersects(const OrientedBox& box, const Ray& ray, PickResult* hit) noexcept;

}  // namespace nevrik::geometry
