#pragma once

#include "nevrik/geometry/PickResult.h"
#include "nevrik/geometry/Ray.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

namespace nevrik::geometry {

/// Something a ray can be tested against, over coordinates of T in N
/// dimensions; only the float, three-dimensional form is defined.
template <class T, int N>
class Collider;

/// Answers where a ray first meets an object's real shape, after a cheap
/// bounding test has let it through.
///
/// Reference-counted; a mesh owns its collider and hands it out borrowed.
/// Queries do not change the collider, but nothing is synchronised: use it
/// from the thread that owns the scene.
template <>
class Collider<float, 3> : public object::Object {
public:
    NEVRIK_CLASS_NAME(object::Object, ":Collider")

    /// Nearest hit with 0 <= t <= the largest float. `hit` may be null to ask
    /// only whether there is any; otherwise a hit fills its point, normal and
    /// distance and leaves the other fields alone. On a miss `hit` is untouched.
    virtual bool intersectRay(const Ray& ray, PickResult* hit) const = 0;
    /// As intersectRay() for 0 <= t <= 1: the segment from origin to
    /// origin + direction.
    virtual bool intersectSegment(const Ray& ray, PickResult* hit) const = 0;
    /// As intersectRay() for any finite t, behind the origin too; the nearest
    /// hit is the one of smallest t.
    virtual bool intersectLine(const Ray& ray, PickResult* hit) const = 0;
};

}  // namespace nevrik::geometry
