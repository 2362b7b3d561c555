#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/graphics3d/building/Compiler.h"
#include "nevrik/graphics3d/building/Job.h"
#include "nevrik/graphics3d/building/MeshSplitter.h"
#include "nevrik/graphics3d/core/Mesh.h"
#include "nevrik/graphics3d/core/RenderStream.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"

namespace nevrik::graphics3d {

/// Turns the opaque meshes of a static model into one native render
/// program: add() makes a draw job with fully resolved states from each
/// mesh (splitting those too large for one draw), process() sorts the jobs
/// by state and packs their vertices and indices into shared static
/// buffers, compile() emits the state changes, bindings and draws of the
/// sorted jobs, and takeMeshes() rebuilds meshes that draw what the jobs
/// draw.
///
/// Made for one optimisation by its model and dropped after it; the jobs
/// hold references on every mesh, state and buffer they name. Used on the
/// thread of the current context, since it creates, locks and binds
/// buffers.
class Optimiser : public object::Object, private object::Noncopyable {
public:
    Optimiser() = default;
    ~Optimiser() override;

    NEVRIK_CLASS_NAME(object::Object, ":Optimiser")

    /// Appends a job for `mesh`, or one per piece when it holds more
    /// indices or vertices than the splitter's limits. The states come from
    /// the mesh's appearance; material, shader, blend, stencil, depth and
    /// polygon mode a mesh lacks are those of the last mesh that had them.
    /// A mesh of neither drawable kind passes through as it is. False,
    /// adding nothing, for null and for meshes that draw nothing: an index
    /// mesh without index or vertex buffers, a vertex mesh without buffers,
    /// an empty count, or a range outside the buffers. Throws what splitting
    /// throws (UnsupportedPrimitiveException, UnsupportedFormatException,
    /// MemoryException).
    bool add(Mesh* mesh);
    /// Sorts the jobs by shader, textures, blend, stencil, depth and polygon
    /// mode, material, index buffer, vertex buffers, first and primitive
    /// (object addresses, ascending), then moves their vertices and indices
    /// into shared static buffers and points the jobs there. A job whose
    /// data cannot be merged keeps its own buffers. Throws MemoryException
    /// when a merged buffer cannot be made.
    void process();
    /// A new render stream (the caller's reference) whose program sets the
    /// states and buffers of the jobs in order, never one the previous job
    /// set already, and draws each job that has a shader. Throws
    /// object::Exception when the system refuses executable memory.
    object::Pointer<RenderStream> compile();
    /// Appends to `meshes` one mesh per job: a passed-through mesh as it
    /// is; for a draw job a new index or vertex mesh with the job's
    /// buffers, range, primitive and a new appearance holding each state of
    /// the job, or, unless `always`, only those that differ from the
    /// previous job's. A job without a polygon mode gets the current
    /// context's default one.
    void takeMeshes(container::Array<object::Pointer<Mesh>>& meshes, bool always) const;

    const container::Array<Job>& getJobs() const noexcept { return mJobs; }
    /// The splitter whose limits decide when a mesh is cut.
    MeshSplitter& getSplitter() noexcept { return mSplitter; }

private:
    // Appends the job of a mesh within the limits; false when it draws
    // nothing.
    bool addJob(Mesh& mesh);
    // Merges the buffers of every draw job (step two of process()).
    void merge();

    container::Array<Job> mJobs;
    Compiler mCompiler;
    MeshSplitter mSplitter;
    // The last non-empty state of each inherited category.
    object::Pointer<Material> mMaterial;
    object::Pointer<Shader> mShader;
    object::Pointer<BlendMode> mBlendMode;
    object::Pointer<StencilMode> mStencilMode;
    object::Pointer<DepthMode> mDepthMode;
    object::Pointer<PolygonMode> mPolygonMode;
};

}  // namespace nevrik::graphics3d
