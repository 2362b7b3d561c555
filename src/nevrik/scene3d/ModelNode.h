#pragma once

#include "nevrik/math/Matrix4.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/scene3d/Geometry.h"

#include <cstdint>

namespace nevrik::graphics3d {
class Model;
class ParameterBuffer;
}  // namespace nevrik::graphics3d

namespace nevrik::scene3d {

/// A geometry leaf that shows a model: its box is the model's bounds, and it
/// draws and picks the model through a parameter buffer of its own, whose
/// "modelview", "model" and "view" matrices it fills before each call.
///
/// Reference-counted like every node; holds a reference on its model and
/// its parameter buffer. Used on the thread that renders the scene, with
/// the model's rendering context current for render().
class ModelNode : public Geometry {
public:
    // clone() and create() make their objects with make().
    template <class U, class... Arguments>
    friend object::Pointer<U> object::make(Arguments&&...);

    /// `model` may be null: such a node draws nothing and is never hit.
    explicit ModelNode(graphics3d::Model* model);
    ~ModelNode() override;

    NEVRIK_CLASS_NAME(Geometry, ":ModelNode")

    /// A new node (the caller's reference) showing the same model through a
    /// fresh parameter buffer.
    object::Pointer<Node> clone() const override;
    /// Fills the matrices with view × T, T and `view` (T the effective
    /// transform) and asks the model to draw.
    void render(GraphicsContext* context, const math::Matrix4<float>& view) override;
    /// Fills the matrices with T, T and the identity and asks the model to
    /// intersect `ray`; a hit names this node in `result`. Never a hit
    /// without a model, or when T cannot be inverted. The inverse is kept
    /// and made again only when the model's matrix changes, so a pick
    /// neither inverts nor allocates.
    bool pick(const geometry::Ray& ray, geometry::PickResult* result) override;

    /// Shows `model` (may be null) through a new parameter buffer made from
    /// its parameter format; the local box becomes its bounds (the default
    /// box without a model) and the node is marked dirty. A model whose
    /// format is empty gets no buffer: it is neither drawn nor picked.
    void setModel(graphics3d::Model* model);

    graphics3d::Model* getModel() const noexcept { return mModel.get(); }
    graphics3d::ParameterBuffer* getParameters() const noexcept { return mParameters.get(); }
    /// The 64 bytes of a matrix slot (16 floats, row-major) in the parameter
    /// buffer, or null when its format has no 4 × 4 float matrix of that name
    /// within the buffer. Slots need not be aligned for float: copy, do not
    /// cast.
    std::uint8_t* getViewParameter() const noexcept { return mViewParameter; }
    std::uint8_t* getModelParameter() const noexcept { return mModelParameter; }
    std::uint8_t* getModelviewParameter() const noexcept { return mModelviewParameter; }

protected:
    ModelNode(const ModelNode& other);

private:
    /// The slot called `name`, or null.
    std::uint8_t* findSlot(const char* name) const noexcept;
    /// Writes the three matrix slots that exist.
    void fill(const math::Matrix4<float>& modelview, const math::Matrix4<float>& model,
              const math::Matrix4<float>& view) noexcept;

    object::Pointer<graphics3d::Model> mModel;
    object::Pointer<graphics3d::ParameterBuffer> mParameters;
    std::uint8_t* mViewParameter = nullptr;
    std::uint8_t* mModelParameter = nullptr;
    std::uint8_t* mModelviewParameter = nullptr;
    // The matrix last inverted for picking and what came of it.
    math::Matrix4<float> mPickMatrix;
    math::Matrix4<float> mPickInverse;
    bool mPickInvertible = false;
    bool mPickInverted = false;
};

}  // namespace nevrik::scene3d
