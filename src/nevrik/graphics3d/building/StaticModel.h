#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/container/List.h"
#include "nevrik/container/ListAllocator.h"
#include "nevrik/graphics3d/core/Model.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/object/Pointer.h"

namespace nevrik::graphics3d {

/// The model a file reader builds: meshes drawn with one model-view matrix.
/// Optimising it compiles its opaque meshes into one native render program
/// and keeps the blended ones aside, to be queued on the context's defer
/// queue every time the model is drawn.
///
/// Reference-counted like every model; holds a reference on each mesh,
/// deferred mesh and its render stream. Used on the thread of the current
/// context only.
class StaticModel : public Model {
public:
    using MatrixList =
        container::List<math::Matrix4<float>, container::ListAllocator<math::Matrix4<float>, 8>>;

    StaticModel() = default;

    NEVRIK_CLASS_NAME(Model, ":StaticModel")

    /// Loads the model-view matrix from the start of `parameters` through
    /// the current context; then runs the render stream and queues the
    /// deferred meshes when compiled and optimised, or else draws each
    /// opaque mesh and queues each blended one. Does nothing without a current context or
    /// for a block shorter than a matrix.
    void render(const ParameterBuffer& parameters) override;
    /// Copies `source` into the matrix parameter of `parameters`, when the
    /// block has one.
    void update(float time, ParameterBuffer& parameters, const math::Matrix4<float>& source) override;
    /// Compiles the opaque meshes into a render stream and replaces the
    /// meshes by the rebuilt ones followed by the blended ones, which are
    /// kept aside as deferred. Needs a current context; throws what mesh
    /// splitting throws (UnsupportedPrimitiveException,
    /// UnsupportedFormatException, MemoryException), leaving the model as
    /// it was. Returns true.
    bool optimise() override;
    /// As Model::clear(), and empties the matrices and the deferred meshes.
    void clear() override;

    /// The step a reader runs after filling the meshes: a parameter format
    /// of one "modelview" matrix, and bounds around all meshes.
    void complete();

    MatrixList& getMatrices() noexcept { return mMatrices; }
    const MatrixList& getMatrices() const noexcept { return mMatrices; }
    /// The blended meshes kept out of the render stream.
    const container::Array<object::Pointer<Mesh>>& getDeferred() const noexcept { return mDeferred; }

private:
    MatrixList mMatrices;
    container::Array<object::Pointer<Mesh>> mDeferred;
};

}  // namespace nevrik::graphics3d
