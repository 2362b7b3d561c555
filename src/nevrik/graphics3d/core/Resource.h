#pragma once

#include "nevrik/object/Nonassignable.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

namespace nevrik::graphics3d {

/// Base of every rendering resource (buffers, meshes, state objects,
/// shaders, textures, lights, frame buffers ...): a named, reference-counted
/// object that can be copied but never assigned.
///
/// Resources that refer to others hold references on them. Used on the
/// thread of the context they render with.
class Resource : public object::Object, private object::Nonassignable {
public:
    Resource() = default;

    /// The name its creator gave; empty by default.
    types::String getName() const override { return mName; }
    NEVRIK_CLASS_NAME(object::Object, ":Resource")

    void setName(const types::String& name) { mName = name; }

private:
    types::String mName;
};

}  // namespace nevrik::graphics3d
