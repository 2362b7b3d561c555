#pragma once

#include "nevrik/geometry/Ray.h"
#include "nevrik/graphics3d/core/Camera.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/scene3d/Frustum.h"
#include "nevrik/scene3d/Graphics.h"

namespace nevrik::scene3d {

/// The eye a scene is seen through: a transform, a perspective camera and
/// the view frustum the render traverser culls with. It never enters a
/// space, so traversers never find it.
///
/// Reference-counted like every node (observers hold one). Used on the
/// thread that renders the scene.
class Viewer : public Graphics {
public:
    // clone() and create() make their objects with make().
    template <class U, class... Arguments>
    friend object::Pointer<U> object::make(Arguments&&...);

    static constexpr float kWindowLeft = -10.0f;
    static constexpr float kWindowBottom = -10.0f;
    static constexpr float kWindowSize = 20.0f;
    static constexpr float kNear = 100.0f;
    static constexpr float kFar = 1000.0f;

    /// A 20 × 20 camera window centred on the view axis at the near distance
    /// 100, far distance 1000, the frustum built to match.
    Viewer();

    NEVRIK_CLASS_NAME(Graphics, ":Viewer")

    /// A new viewer (the caller's reference) with both transforms, the
    /// frustum and the camera.
    object::Pointer<Node> clone() const override;
    /// Attaching and detaching never touch a space.
    void attach(Locale* locale) override;
    void detach(Locale* locale) override;
    void onEnable() override;
    void onDisable() override;
    /// World transform = parent × local whatever the flags, then the
    /// frustum is rebuilt.
    void updateTransform(const math::Matrix4<float>& parentTransform) override;
    void render(GraphicsContext* context, const math::Matrix4<float>& view) override;
    /// Never a hit.
    bool pick(const geometry::Ray& ray, geometry::PickResult* result) override;

    /// Sets the near distance of the camera (and the distance its window is
    /// measured at) and of the frustum. Returns false, changing nothing,
    /// unless it is finite, positive and not the far distance.
    bool setNear(float distance) noexcept;
    /// Sets the far distance of the camera and the frustum. Returns false,
    /// changing nothing, unless it is finite and not the near distance.
    bool setFar(float distance) noexcept;
    /// The ray in locale coordinates through the normalised window point
    /// (x, y), each -1 to 1, x to the right and y downwards, as of the last
    /// dirty pass. The direction is not unit length.
    geometry::Ray rayThrough(float x, float y) const;

    /// Takes effect on the next dirty pass: the caller marks the node dirty.
    void setLocalTransform(const math::Matrix4<float>& transform) noexcept { mLocalTransform = transform; }
    const math::Matrix4<float>& getLocalTransform() const noexcept { return mLocalTransform; }
    const math::Matrix4<float>& getWorldTransform() const noexcept { return mWorldTransform; }
    const Frustum& getFrustum() const noexcept { return mFrustum; }
    /// A changed camera window reaches the frustum on the next dirty pass:
    /// the caller marks the node dirty.
    graphics3d::PerspectiveCamera& getCamera() noexcept { return mCamera; }
    const graphics3d::PerspectiveCamera& getCamera() const noexcept { return mCamera; }

protected:
    Viewer(const Viewer& other) = default;

private:
    /// Rebuilds the frustum from the world transform and the camera window.
    void updateFrustum() noexcept;

    math::Matrix4<float> mLocalTransform;
    math::Matrix4<float> mWorldTransform;
    Frustum mFrustum;
    graphics3d::PerspectiveCamera mCamera;
};

}  // namespace nevrik::scene3d
