#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/container/List.h"
#include "nevrik/container/ListAllocator.h"
#include "nevrik/geometry/OrientedBox.h"
#include "nevrik/geometry/PickResult.h"
#include "nevrik/geometry/Ray.h"
#include "nevrik/graphics3d/core/Animation.h"
#include "nevrik/graphics3d/core/Joint.h"
#include "nevrik/graphics3d/core/Mesh.h"
#include "nevrik/graphics3d/core/ParameterBuffer.h"
#include "nevrik/graphics3d/core/ParameterFormat.h"
#include "nevrik/graphics3d/core/RenderStream.h"
#include "nevrik/graphics3d/core/Resource.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// The drawable content of a model node: a list of meshes, the layout of
/// the per-instance parameter block (where the model-view matrix sits), a
/// box around all meshes, and the operations that draw the model, intersect
/// it with a ray, build its meshes' colliders and optimise it.
///
/// Reference-counted; shared by every node that shows it. Holds a reference
/// on each mesh, animation and its render stream. Used on the thread of the
/// current context only.
class Model : public Resource {
public:
    /// Name of the parameter that carries the model-view matrix.
    static constexpr const char* kModelViewName = "modelview";
    /// Name of the parameter used for the matrix when there is no model-view.
    static constexpr const char* kModelName = "model";
    /// Bytes of a 4 x 4 float matrix in a parameter block.
    static constexpr std::uint32_t kMatrixSize = 64;

    using JointList = container::List<Joint, container::ListAllocator<Joint, 8>>;

    Model() = default;
    ~Model() override;

    NEVRIK_CLASS_NAME(Resource, ":Model")

    /// Draws the model with the per-instance block `parameters`, laid out
    /// by this model's parameter format.
    virtual void render(const ParameterBuffer& parameters) = 0;
    /// Animation step at `time` seconds from `source` into `parameters`;
    /// does nothing here.
    virtual void update(float time, ParameterBuffer& parameters, const math::Matrix4<float>& source);
    /// Carries `ray` into model space by the inverse of the matrix at the
    /// matrix offset of `parameters` and tests every mesh's collider. Without
    /// `hit`, true on the first mesh hit. With it, the nearest hit fills
    /// `hit` (point in the ray's space, normal in model space, distance along
    /// `ray`, this model and the mesh). False without a matrix parameter,
    /// for a block too short to hold it, a singular matrix, or no hit.
    virtual bool intersect(const ParameterBuffer& parameters, const geometry::Ray& ray,
                           geometry::PickResult* hit);
    /// As intersect() above with the model placed by `matrix`, whose inverse
    /// the caller keeps (a node inverts its matrix only when it changes).
    bool intersect(const math::Matrix4<float>& matrix, const math::Matrix4<float>& inverse,
                   const geometry::Ray& ray, geometry::PickResult* hit);
    /// Fits the bounds around the boxes of all meshes, refitting each mesh
    /// first when `recomputeMeshes`. A model without meshes gets the default
    /// box. Returns true.
    virtual bool updateBounds(bool recomputeMeshes);
    /// Gives every mesh a new collider, or only those without one unless
    /// `force`, and builds the hierarchy of every collider that lacks one, so
    /// that picking never builds. Returns true.
    virtual bool createColliders(bool force);
    /// Turns the model into a compiled render program where it can; false
    /// here, changing nothing.
    virtual bool optimise();
    /// Empties the parameter format, joints, animations and meshes, drops
    /// the render stream and resets the bounds.
    virtual void clear();

    /// Appends `mesh`, taking a reference. False, changing nothing, for null.
    bool addMesh(Mesh* mesh);
    /// Takes over the components and the total of `format` and finds the
    /// matrix offset in it.
    void setParameterFormat(const ParameterFormat& format);
    /// Appends `animation`, taking a reference. False, changing nothing, for
    /// null.
    bool addAnimation(Animation* animation);

    /// Whether render() runs the render stream; the caller of optimise()
    /// stores its result here.
    bool isCompiled() const noexcept { return mCompiled; }
    void setCompiled(bool compiled) noexcept { mCompiled = compiled; }
    const ParameterFormat& getParameterFormat() const noexcept { return mParameterFormat; }
    /// Byte offset of the matrix parameter in a block, or -1 without one.
    std::int32_t getMatrixOffset() const noexcept { return mMatrixOffset; }
    JointList& getJoints() noexcept { return mJoints; }
    const JointList& getJoints() const noexcept { return mJoints; }
    const container::Array<object::Pointer<Animation>>& getAnimations() const noexcept { return mAnimations; }
    const container::Array<object::Pointer<Mesh>>& getMeshes() const noexcept { return mMeshes; }
    const geometry::OrientedBox& getBounds() const noexcept { return mBounds; }
    RenderStream* getRenderStream() const noexcept { return mRenderStream.get(); }

    /// The matrix at the matrix offset of `parameters`; false when there is
    /// none or the block is too short to hold it.
    bool readMatrix(const ParameterBuffer& parameters, math::Matrix4<float>& matrix) const noexcept;

protected:
    /// Writes `matrix` at the matrix offset of `parameters`; false, writing
    /// nothing, where readMatrix() would fail.
    bool writeMatrix(ParameterBuffer& parameters, const math::Matrix4<float>& matrix) const noexcept;
    /// Fits the bounds around the corners of every mesh's box.
    void fitBounds() noexcept;
    /// Replaces the meshes by `meshes`, releasing the old ones.
    void setMeshes(container::Array<object::Pointer<Mesh>>&& meshes) noexcept;
    void setRenderStream(RenderStream* stream) noexcept { mRenderStream.reset(stream); }

private:
    bool mCompiled = false;
    ParameterFormat mParameterFormat;
    std::int32_t mMatrixOffset = -1;
    JointList mJoints;
    container::Array<object::Pointer<Animation>> mAnimations;
    container::Array<object::Pointer<Mesh>> mMeshes;
    geometry::OrientedBox mBounds;
    object::Pointer<RenderStream> mRenderStream;
};

}  // namespace nevrik::graphics3d
