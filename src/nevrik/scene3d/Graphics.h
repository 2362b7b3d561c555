#pragma once

#include "nevrik/geometry/PickResult.h"
#include "nevrik/geometry/Ray.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/scene3d/Leaf.h"

#include <cstdint>

namespace nevrik::scene3d {

class GraphicsContext;

/// A leaf of the graphics space: what the render and pick traversers call
/// on every leaf they reach.
///
/// Abstract; reference-counted like every node. Used on the thread that
/// renders the scene, with its rendering context current for render().
class Graphics : public Leaf<Graphics> {
public:
    NEVRIK_CLASS_NAME(Leaf<Graphics>, ":Graphics")

    /// Draws the leaf; `view` maps locale coordinates to the eye's.
    virtual void render(GraphicsContext* context, const math::Matrix4<float>& view) = 0;
    /// Whether `ray` (locale coordinates) hits the leaf; a hit fills `result`
    /// when given.
    virtual bool pick(const geometry::Ray& ray, geometry::PickResult* result) = 0;

protected:
    explicit Graphics(std::uint32_t kind) noexcept : Leaf<Graphics>(kind) {}
    Graphics(const Graphics& other) = default;
};

}  // namespace nevrik::scene3d
