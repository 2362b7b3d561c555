#pragma once

#include "nevrik/graphics3d/core/Resource.h"

namespace nevrik::system {
class Assembler;
}

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

    NEVRIK_CLASS_NAME(Resource, ":Material")

    /// Sends the material to OpenGL; callers go through Context::apply.
    virtual void apply() const;
    /// Appends to `assembler` the calls apply() makes. False, appending
    /// nothing, when the class has no inline form (this one).
    virtual bool compileApply(system::Assembler& assembler) const;

    /// Appends the step that makes this the current material of the context
    /// a render program keeps in ESI, then the inline form, or else a call of
    /// apply() on this material.
    void compile(system::Assembler& assembler) const;
};

}  // namespace nevrik::graphics3d
