#pragma once

#include "nevrik/graphics3d/Resource.h"

namespace nevrik::graphics3d {

/// Base of the surface materials an appearance applies; this one sends
/// nothing.
///
/// Shared by reference among appearances; the Context owns a default
/// ColourMaterial. Used on the thread of the current context.
class Material : public Resource {
public:
    Material() = default;
    /// Stops being the current context's current material.
    ~Material() override;

    /// Sends the material to OpenGL; callers go through Context::apply.
    virtual void apply() const;
};

}  // namespace nevrik::graphics3d
