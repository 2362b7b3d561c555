#pragma once

#include "nevrik/geometry/Ray.h"
#include "nevrik/graphics3d/core/Model.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/scene3d/Node.h"
#include "nevrik/scene3d/Root.h"
#include "nevrik/scene3d/Universe.h"
#include "nevrik/scene3d/Viewer.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace nevrik::bench {

/// The size of the view the sample's scene is seen in.
constexpr int kViewWidth = 640;
constexpr int kViewHeight = 480;

/// The generator's aircraft at about `triangles` triangles, read, optimised
/// and given colliders as the sample does. Needs the rendering context;
/// null when the generator or the reader fails.
object::Pointer<graphics3d::Model> generatedModel(std::int64_t triangles);

/// A universe of one locale whose root holds a viewer at `eye` looking down
/// -z, and whatever add() hangs beside it.
class Scene {
public:
    Scene(float nearDistance, float farDistance, const math::Vector3<float>& eye);

    /// Takes over the caller's reference on `node`.
    void add(scene3d::Node* node);

    scene3d::Universe* universe() const { return mUniverse.get(); }
    scene3d::Viewer* viewer() const { return mViewer.get(); }

private:
    object::Pointer<scene3d::Universe> mUniverse;
    object::Pointer<scene3d::Root> mRoot;
    object::Pointer<scene3d::Viewer> mViewer;
};

/// The sample's scene: 35 copies of the generated model at `triangles`
/// triangles on a 7 x 5 grid 320 by 600 apart, seen from 400 up the z axis.
/// With `reference`, every mesh gets a fresh collider without its hierarchy,
/// so picks run the per-triangle loop. Null without a rendering context or
/// a model.
std::unique_ptr<Scene> sampleScene(std::int64_t triangles, bool reference);

/// 2000 seeded mouse positions over the view, as rays; `hits` keeps those
/// that pick a node, otherwise those that do not.
std::vector<geometry::Ray> seededRays(const Scene& scene, bool hits);

}  // namespace nevrik::bench
