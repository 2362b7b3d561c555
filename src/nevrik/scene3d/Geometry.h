#pragma once

#include "nevrik/math/Matrix4.h"
#include "nevrik/scene3d/Graphics.h"

#include <cstdint>

namespace nevrik::scene3d {

/// A renderable graphics leaf with a transform of its own: its box is its
/// local box carried by its local transform, and by its parent's transform
/// too when it inherits one.
///
/// Reference-counted like every node; draws nothing itself (ModelNode
/// does). Used on the thread that renders the scene.
class Geometry : public Graphics {
public:
    // clone() and create() make their objects with make().
    template <class U, class... Arguments>
    friend object::Pointer<U> object::make(Arguments&&...);

    Geometry() noexcept : Geometry(KIND_GRAPHICS | KIND_GEOMETRY) {}

    NEVRIK_CLASS_NAME(Graphics, ":Geometry")

    /// A new geometry node (the caller's reference) with both transforms.
    object::Pointer<Node> clone() const override;
    /// With FLAG_INHERIT the world transform becomes parent × local;
    /// the box follows the effective transform.
    void updateTransform(const math::Matrix4<float>& parentTransform) override;
    void render(GraphicsContext* context, const math::Matrix4<float>& view) override;
    /// Never a hit.
    bool pick(const geometry::Ray& ray, geometry::PickResult* result) override;

    /// Takes effect on the next dirty pass: the caller marks the node dirty.
    void setLocalTransform(const math::Matrix4<float>& transform) noexcept { mLocalTransform = transform; }
    const math::Matrix4<float>& getLocalTransform() const noexcept { return mLocalTransform; }
    /// parent × local as of the last pass; stale unless the node inherits.
    const math::Matrix4<float>& getWorldTransform() const noexcept { return mWorldTransform; }
    /// The transform the node is drawn and picked with: the world transform
    /// when it inherits, else its local transform alone.
    const math::Matrix4<float>& getEffectiveTransform() const noexcept {
        return hasFlag(FLAG_INHERIT) ? mWorldTransform : mLocalTransform;
    }

protected:
    explicit Geometry(std::uint32_t kind) noexcept : Graphics(kind) {}
    Geometry(const Geometry& other) = default;

private:
    math::Matrix4<float> mLocalTransform;
    math::Matrix4<float> mWorldTransform;
};

}  // namespace nevrik::scene3d
