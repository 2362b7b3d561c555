#include "nevrik/scene3d/Viewer.h"

#include "SceneProbes.h"

#include <cmath>
#include <limits>

namespace nevrik::scene3d {
namespace {

using Vec = math::Vector3<float>;
using ViewerTest = SceneFixture;

void expectNear(const Vec& actual, const Vec& expected) {
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_NEAR(actual[axis], expected[axis], 1e-3f) << "axis " << axis;
    }
}

// A small cube around `centre`.
geometry::OrientedBox boxAt(const Vec& centre) {
    geometry::OrientedBox box;
    box.setCentre(centre);
    return box;
}

// A quarter turn about y (x goes to -z) and a move to `at`.
math::Matrix4<float> turnedAndMoved(const Vec& at) {
    math::Matrix4<float> matrix;
    matrix.rotate(static_cast<float>(M_PI / 2), Vec(0, 1, 0));
    matrix.setColumn(3, at);
    return matrix;
}

TEST_F(ViewerTest, NewViewerLooksDownZThroughATwentyUnitWindowAtNearHundred) {
    Viewer viewer;
    EXPECT_EQ(viewer.getKind(), 0x108u);
    EXPECT_EQ(viewer.className(), "Object:Node:Leaf:Graphics:Viewer");
    const graphics3d::PerspectiveCamera& camera = viewer.getCamera();
    EXPECT_EQ(camera.getLeft(), -10.0f);
    EXPECT_EQ(camera.getBottom(), -10.0f);
    EXPECT_EQ(camera.getWidth(), 20.0f);
    EXPECT_EQ(camera.getHeight(), 20.0f);
    EXPECT_EQ(camera.getNear(), 100.0f);
    EXPECT_EQ(camera.getFar(), 1000.0f);
    EXPECT_EQ(camera.getDistance(), 100.0f);
    const Frustum& frustum = viewer.getFrustum();
    EXPECT_EQ(frustum.getNear(), 100.0f);
    EXPECT_EQ(frustum.getFar(), 1000.0f);
    EXPECT_EQ(frustum.getAxis(0), Vec(10, 0, 0));
    EXPECT_EQ(frustum.getAxis(1), Vec(0, 10, 0));
    EXPECT_EQ(frustum.getDirection(), Vec(0, 0, -1));
    EXPECT_EQ(frustum.getWindowOffset(0), 0.0f);
}

TEST_F(ViewerTest, RayThroughTheCentreAndTheTopLeftCorner) {
    auto* viewer = add<Viewer>(mRoot);
    geometry::Ray centre = viewer->rayThrough(0, 0);
    EXPECT_EQ(centre.origin, Vec(0, 0, 0));
    EXPECT_EQ(centre.direction, Vec(0, 0, -100));
    // y grows downwards on the screen: the top is +y in the camera.
    EXPECT_EQ(viewer->rayThrough(-1, -1).direction, Vec(-10, 10, -100));
    EXPECT_EQ(viewer->rayThrough(1, 1).direction, Vec(10, -10, -100));

    viewer->setLocalTransform(turnedAndMoved(Vec(5, 6, 7)));
    viewer->markDirty();
    mUniverse->update();
    centre = viewer->rayThrough(0, 0);
    expectNear(centre.origin, Vec(5, 6, 7));
    expectNear(centre.direction, Vec(-100, 0, 0));
    // Camera x turned to world -z; the top-left corner point lies at
    // (-100, 10, 10) from the eye.
    const geometry::Ray corner = viewer->rayThrough(-1, -1);
    expectNear(corner.origin, Vec(5, 6, 7));
    expectNear(corner.direction, Vec(-100, 10, 10));
}

TEST_F(ViewerTest, WorldTransformAndFrustumFollowTheParentWhateverTheFlags) {
    auto* group = add<Group>(mRoot);
    auto* viewer = add<Viewer>(group);
    ASSERT_FALSE(viewer->hasFlag(Node::FLAG_INHERIT));
    mUniverse->update();
    group->updateTransform(translation(0, 0, 500));
    viewer->setLocalTransform(translation(1, 0, 0));
    viewer->markDirty();
    mUniverse->update();
    EXPECT_EQ(viewer->getWorldTransform().getColumn(3), Vec(1, 0, 500));
    EXPECT_EQ(viewer->getFrustum().getOrigin(), Vec(1, 0, 500));
    // 500 ahead is inside; 50 ahead is nearer than the near plane.
    EXPECT_TRUE(viewer->getFrustum().intersects(boxAt(Vec(1, 0, 0))));
    EXPECT_FALSE(viewer->getFrustum().intersects(boxAt(Vec(1, 0, 450))));
}

TEST_F(ViewerTest, OffCentreWindowKeepsTheCentreRayInsideTheFrustum) {
    auto* viewer = add<Viewer>(mRoot);
    // The window centre sits one half-width right and up of the view axis.
    ASSERT_TRUE(viewer->getCamera().setWindow(0, 0, 20, 20));
    viewer->markDirty();
    mUniverse->update();
    EXPECT_EQ(viewer->getFrustum().getWindowOffset(0), 1.0f);
    EXPECT_EQ(viewer->getFrustum().getWindowOffset(1), 1.0f);
    const geometry::Ray centre = viewer->rayThrough(0, 0);
    EXPECT_TRUE(viewer->getFrustum().intersects(boxAt(centre.pointAt(5))));
    const Vec mirrored = centre.pointAt(5);
    EXPECT_FALSE(viewer->getFrustum().intersects(boxAt(Vec(-mirrored.x, -mirrored.y, mirrored.z))));
}

TEST_F(ViewerTest, SetNearAndFarRefuseWhatEitherCameraOrFrustumWould) {
    Viewer viewer;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    for (float bad : {0.0f, -1.0f, nan, infinity, 1000.0f}) {
        EXPECT_FALSE(viewer.setNear(bad)) << bad;
    }
    for (float bad : {nan, infinity, -infinity, 100.0f}) {
        EXPECT_FALSE(viewer.setFar(bad)) << bad;
    }
    EXPECT_EQ(viewer.getCamera().getNear(), 100.0f);
    EXPECT_EQ(viewer.getCamera().getFar(), 1000.0f);
    EXPECT_EQ(viewer.getFrustum().getNear(), 100.0f);
    EXPECT_EQ(viewer.getFrustum().getFar(), 1000.0f);

    ASSERT_TRUE(viewer.setNear(50));
    ASSERT_TRUE(viewer.setFar(2000));
    EXPECT_EQ(viewer.getCamera().getNear(), 50.0f);
    EXPECT_EQ(viewer.getCamera().getDistance(), 50.0f);
    EXPECT_EQ(viewer.getFrustum().getNear(), 50.0f);
    EXPECT_EQ(viewer.getCamera().getFar(), 2000.0f);
    EXPECT_EQ(viewer.getFrustum().getFar(), 2000.0f);
    // The window now lies at 50: the corner ray widens.
    EXPECT_EQ(viewer.rayThrough(1, 1).direction, Vec(10, -10, -50));
}

TEST_F(ViewerTest, NeverEntersASpace) {
    auto* viewer = add<Viewer>(mRoot);
    mUniverse->update();
    viewer->disable();
    viewer->enable();
    EXPECT_EQ(viewer->getSpace(), nullptr);
    EXPECT_EQ(graphicsCount(), 0u);
    EXPECT_EQ(viewer->getReferenceCount(), 1);
    geometry::PickResult result;
    EXPECT_FALSE(viewer->pick(geometry::Ray(Vec(0, 0, 5), Vec(0, 0, -1)), &result));
    EXPECT_EQ(result.node, nullptr);
}

TEST_F(ViewerTest, CloneCopiesTransformsFrustumAndCamera) {
    auto* viewer = add<Viewer>(mRoot);
    viewer->setLocalTransform(turnedAndMoved(Vec(1, 2, 3)));
    viewer->markDirty();
    mUniverse->update();
    ASSERT_TRUE(viewer->setFar(3000));
    const auto copy = object::Pointer<Viewer>::adopt(static_cast<Viewer*>(viewer->clone()));
    EXPECT_EQ(copy->getWorldTransform().getColumn(3), Vec(1, 2, 3));
    EXPECT_EQ(copy->getFrustum().getOrigin(), Vec(1, 2, 3));
    EXPECT_EQ(copy->getCamera().getFar(), 3000.0f);
    EXPECT_EQ(copy->getCamera().getReferenceCount(), 1);
    expectNear(copy->rayThrough(0, 0).direction, Vec(-100, 0, 0));
}

}  // namespace
}  // namespace nevrik::scene3d
