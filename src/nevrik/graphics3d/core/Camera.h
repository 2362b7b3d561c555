#pragma once

#include "nevrik/geometry/Ray.h"
#include "nevrik/graphics3d/core/Resource.h"

namespace nevrik::graphics3d {

/// Base of the projections a viewer looks through.
///
/// Reference-counted, or held by value by its viewer. Used on the thread of
/// the current context.
class Camera : public Resource {
public:
    Camera() = default;

    NEVRIK_CLASS_NAME(Resource, ":Camera")

    /// Loads the projection matrix; the matrix mode in force stays selected.
    virtual void apply() = 0;
    /// The eye-space ray through the normalised window point (x, y), each
    /// -1 to 1, x to the right and y downwards. The direction is not unit
    /// length.
    virtual geometry::Ray eyeRay(float x, float y) const = 0;
};

}  // namespace nevrik::graphics3d
