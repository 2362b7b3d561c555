#pragma once

#include "nevrik/math/Matrix4.h"
#include "nevrik/math/Vector.h"
#include "nevrik/scene3d/Graphics.h"
#include "nevrik/scene3d/Traverser.h"

namespace nevrik::scene3d {

class GraphicsContext;
class Viewer;

/// Draws every graphics leaf of a universe whose box meets a viewer's view
/// frustum, walking each locale's loose octree: cells outside the frustum
/// are skipped with their whole subtree, cells wholly inside are drawn
/// without further tests.
///
/// Made on the stack for one pass; holds no references. Used on the thread
/// whose current rendering context it draws into.
class RenderTraverser : public Traverser<RenderTraverser, Graphics> {
public:
    /// `context` is handed to every leaf's render().
    RenderTraverser(Universe* universe, GraphicsContext* context) noexcept
        : Traverser(universe), mContext(context) {}

    /// Loads the viewer's projection and draws what it sees, as of the last
    /// dirty pass. Nothing is drawn for a null viewer or one whose world
    /// transform has no inverse. A viewer outside any locale looks from the
    /// origin of the world.
    void traverse(Viewer* viewer);

    /// The view of the locale being visited (of the last one after a pass):
    /// its own coordinates to eye coordinates.
    const math::Matrix4<float>& getLocaleView() const noexcept { return mLocaleView; }
    /// The position of the locale being visited relative to the viewer's.
    const math::Vector3<double>& getLocaleOffset() const noexcept { return mLocaleOffset; }
    GraphicsContext* getContext() const noexcept { return mContext; }

private:
    math::Matrix4<float> mLocaleView;
    math::Vector3<double> mLocaleOffset;
    GraphicsContext* mContext;
};

}  // namespace nevrik::scene3d
