#pragma once

#include "nevrik/graphics3d/core/Resource.h"

namespace nevrik::graphics3d {

/// Base of the light sources that occupy the context's eight light slots.
///
/// Reference-counted; a light destroyed while in slots of the current
/// context leaves them (and that GL light is switched off). Used on the
/// thread of the current context.
class Light : public Resource {
public:
    Light() = default;
    ~Light() override;

    NEVRIK_CLASS_NAME(Resource, ":Light")

    /// Sends the light's parameters to GL_LIGHT0 + unit (unit 0 to 7).
    virtual void apply(int unit) const = 0;
};

}  // namespace nevrik::graphics3d
