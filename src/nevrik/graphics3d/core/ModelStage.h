#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/graphics3d/core/Model.h"
#include "nevrik/graphics3d/core/ParameterBuffer.h"
#include "nevrik/graphics3d/core/Camera.h"
#include "nevrik/graphics3d/core/PointLight.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/math/Vector.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// One model shown whole: a perspective camera framing the model's bounds
/// from the front, a white light at the eye and a background colour. The
/// short way from a model to a frame on screen or to an image, for viewers
/// and thumbnails that need no scene graph.
///
/// The camera frames the bounds' enclosing sphere, so the model stays in
/// view however the camera orbits its centre (setOrbit), in a target of any
/// shape. Holds a reference on the model. Held by value or
/// reference-counted; used on the thread of the current context, and gone
/// before that context is.
class ModelStage : public object::Object {
public:
    /// Vertical angle of view, in degrees.
    static constexpr float kFieldOfView = 45.0f;
    /// Where the camera looks along, and which way is up on the screen: the
    /// model's front, its y axis up.
    static constexpr math::Vector3<float> kDirection{0.0f, 0.0f, -1.0f};
    static constexpr math::Vector3<float> kUp{0.0f, 1.0f, 0.0f};
    /// The background: a dark slate grey, against which light and dark
    /// models both show.
    static constexpr float kBackground[3] = {0.2f, 0.2f, 0.25f};

    /// Shows `model` (null: only the background).
    explicit ModelStage(Model* model);

    NEVRIK_CLASS_NAME(object::Object, ":ModelStage")

    /// Draws a frame into the lower-left width x height pixels of the
    /// current render target: clears colour and depth to the background,
    /// sets the viewport, loads the camera's projection shaped like the
    /// rectangle, puts the light in slot 0 and draws the model, the deferred
    /// (blended) meshes included. Does nothing without a current context or
    /// for a side below 1.
    void render(std::int32_t width, std::int32_t height);
    /// render(), then the pixels it drew as an RGBA image, first row at the
    /// top, with the caller's only reference. Null where render() draws
    /// nothing or the pixels cannot be read.
    object::Pointer<graphics::Image> renderImage(std::int32_t width, std::int32_t height);

    /// The camera turned by `turn` (a rotation, as a trackball gives it)
    /// about the centre of the model's bounds, from where the front view has
    /// it; the identity at first.
    void setOrbit(const math::Matrix4<float>& turn) noexcept { mOrbit = turn; }
    void setBackground(float red, float green, float blue) noexcept;

    Model* getModel() const noexcept { return mModel.get(); }
    const math::Matrix4<float>& getOrbit() const noexcept { return mOrbit; }
    const float* getBackground() const noexcept { return mBackground; }
    /// The camera as the last render() set it up; its view is the front
    /// one, the orbit is not in it.
    const PerspectiveCamera& getCamera() const noexcept { return mCamera; }
    PointLight& getLight() noexcept { return mLight; }

private:
    object::Pointer<Model> mModel;
    object::Pointer<ParameterBuffer> mParameters;
    PerspectiveCamera mCamera;
    PointLight mLight;
    math::Matrix4<float> mOrbit;
    float mBackground[3] = {kBackground[0], kBackground[1], kBackground[2]};
};

}  // namespace nevrik::graphics3d
