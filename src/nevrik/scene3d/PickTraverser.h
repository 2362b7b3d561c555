#pragma once

#include "nevrik/geometry/PickResult.h"
#include "nevrik/geometry/Ray.h"
#include "nevrik/math/Vector.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

namespace nevrik::scene3d {

class Locale;
class Node;
class Universe;

/// Finds the graphics leaf of a universe nearest along a ray: each locale's
/// loose octree is walked, cells whose bounds and leaves whose boxes the ray
/// misses are skipped, and every leaf whose box it meets is asked to
/// intersect its own shape.
/// Of two hits at the same distance the first found stays. A leaf's hits lie
/// in its box, so cells and leaves the ray enters only beyond the nearest
/// hit so far are skipped as well.
///
/// Made on the stack for one pass (or kept for several); holds no
/// references, so the universe must outlive it. Used on the rendering
/// thread.
class PickTraverser : public object::Object {
public:
    /// `universe` may be null: then nothing is ever hit.
    explicit PickTraverser(Universe* universe) noexcept : mUniverse(universe) {}

    NEVRIK_CLASS_NAME(object::Object, ":PickTraverser")

    /// The nearest leaf `ray` hits, or null. `ray` is in the frame whose
    /// position is minus getOffset() (the world's origin by default); its
    /// origin is carried into each locale's coordinates in doubles. `out`,
    /// when given, receives the whole result: on a hit the point (in the
    /// coordinates of the hit leaf's locale), normal, distance (the ray
    /// parameter), model, mesh and node; without one distance +infinity and
    /// null pointers.
    Node* pick(const geometry::Ray& ray, geometry::PickResult* out);

    Universe* getUniverse() const noexcept { return mUniverse; }
    /// During a pass over every locale, the one being walked; otherwise the
    /// locale set with setLocale(), or null.
    Locale* getLocale() const noexcept { return mLocale; }
    /// Restricts the next picks to `locale` (null: every locale again).
    void setLocale(Locale* locale) noexcept { mLocale = locale; }
    const math::Vector3<double>& getOffset() const noexcept { return mOffset; }
    /// Rays are then taken in the frame at position -offset.
    void setOffset(const math::Vector3<double>& offset) noexcept { mOffset = offset; }
    /// The position of the locale being walked (of the last one after a
    /// pass), plus the offset.
    const math::Vector3<double>& getLocaleOffset() const noexcept { return mLocaleOffset; }
    /// The ray in the coordinates of the locale being walked (of the last one
    /// after a pass).
    const geometry::Ray& getRay() const noexcept { return mRay; }
    /// The result of the last pick.
    const geometry::PickResult& getResult() const noexcept { return mResult; }

private:
    Universe* mUniverse;
    Locale* mLocale = nullptr;
    math::Vector3<double> mOffset;
    math::Vector3<double> mLocaleOffset;
    geometry::Ray mRay;
    geometry::PickResult mResult;
};

}  // namespace nevrik::scene3d
