#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/graphics3d/core/Resource.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/system/Program.h"

namespace nevrik::graphics3d {

/// A compiled render program together with every resource it touches, so
/// that buffers, states and textures whose names and addresses the program
/// carries live as long as the program.
///
/// Reference-counted; made by the model optimiser and held by its model.
/// Drawn on the thread of the current context.
class RenderStream : public Resource {
public:
    RenderStream() = default;
    /// Drops the program first, then the resources it used.
    ~RenderStream() override;

    NEVRIK_CLASS_NAME(Resource, ":RenderStream")

    /// Runs the program once. False, running nothing, without a program or
    /// when the program refuses to run (no code, not finalised).
    bool draw() const;

    /// Keeps `resource` alive for the program; false, keeping nothing, for null.
    bool addResource(Resource* resource);
    /// Takes a reference on `program` and drops the one it had.
    void setProgram(system::Program* program) { mProgram.reset(program); }

    const container::Array<object::Pointer<Resource>>& getResources() const noexcept { return mResources; }
    system::Program* getProgram() const noexcept { return mProgram.get(); }

private:
    container::Array<object::Pointer<Resource>> mResources;
    object::Pointer<system::Program> mProgram;
};

}  // namespace nevrik::graphics3d
