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

TEST_F(ViewerTest, NearAndFarReachCameraAndFrustumTogetherOrNotAtAll) {
    Viewer viewer;
    EXPECT_EQ(viewer.getKind(), 0x108u);
    const graphics3d::PerspectiveCamera& camera = viewer.getCamera();
    EXPECT_EQ(camera.getLeft(), -10.0f);
    EXPECT_EQ(camera.getWidth(), 20.0f);
    EXPECT_EQ(camera.getDistance(), 100.0f);
    const Frustum& frustum = viewer.getFrustum();
    EXPECT_EQ(frustum.getAxis(0), Vec(10, 0, 0));
    EXPECT_EQ(frustum.getDirection(), Vec(0, 0, -1));

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    for (float bad : {0.0f, -1.0f, nan, infinity, 1000.0f}) {
        EXPECT_FALSE(viewer.setNear(bad)) << bad;
    }
    for (float bad : {nan, -infinity, 100.0f}) {
        EXPECT_FALSE(viewer.setFar(bad)) << bad;
    }
    EXPECT_EQ(camera.getNear(), 100.0f);
    EXPECT_EQ(camera.getFar(), 1000.0f);
    EXPECT_EQ(frustum.getNear(), 100.0f);
    EXPECT_EQ(frustum.getFar(), 1000.0f);

    ASSERT_TRUE(viewer.setNear(50));
    ASSERT_TRUE(viewer.setFar(2000));
    EXPECT_EQ(camera.getNear(), 50.0f);
    EXPECT_EQ(frustum.getNear(), 50.0f);
    EXPECT_EQ(camera.getFar(), 2000.0f);
    EXPECT_EQ(frustum.getFar(), 2000.0f);
    // The window now lies at 50: the corner ray widens.
    EXPECT_EQ(viewer.rayThrough(1, 1).direction, Vec(10, -10, -50));
}

TEST_F(ViewerTest, RayThroughTheCentreAndTheTopLeftCorner) {
    auto* viewer = add<Viewer>(mRoot);
    const geometry::Ray centre = viewer->rayThrough(0, 0);
    EXPECT_EQ(centre.origin, Vec(0, 0, 0));
    EXPECT_EQ(centre.direction, Vec(0, 0, -100));
    // y grows downwards on the screen: the top is +y in the camera.
    EXPECT_EQ(viewer->rayThrough(-1, -1).direction, Vec(-10, 10, -100));

    viewer->setLocalTransform(turnedAndMoved(Vec(5, 6, 7)));
    viewer->markDirty();
    mUniverse->update();
    expectNear(viewer->rayThrough(0, 0).origin, Vec(5, 6, 7));
    expectNear(viewer->rayThrough(0, 0).direction, Vec(-100, 0, 0));
    // Camera x turned to world -z.
    expectNear(viewer->rayThrough(-1, -1).direction, Vec(-100, 10, 10));
}

TEST_F(ViewerTest, FrustumFollowsTheParentWhateverTheFlagsAndOffCentreWindows) {
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

    // The window centre one half-width right and up of the view axis: the
    // frustum takes the offset in half-axis units, so the centre ray stays in.
    ASSERT_TRUE(viewer->getCamera().setWindow(0, 0, 20, 20));
    viewer->markDirty();
    mUniverse->update();
    EXPECT_EQ(viewer->getFrustum().getWindowOffset(0), 1.0f);
    EXPECT_EQ(viewer->getFrustum().getWindowOffset(1), 1.0f);
    const Vec ahead = viewer->rayThrough(0, 0).pointAt(5);
    EXPECT_TRUE(viewer->getFrustum().intersects(boxAt(ahead)));
    EXPECT_FALSE(viewer->getFrustum().intersects(boxAt(Vec(2 - ahead.x, -ahead.y, ahead.z))));
}

TEST_F(ViewerTest, NeverEntersASpaceAndClonesWithTransformsFrustumAndCamera) {
    auto* viewer = add<Viewer>(mRoot);
    viewer->setLocalTransform(turnedAndMoved(Vec(1, 2, 3)));
    viewer->markDirty();
    mUniverse->update();
    viewer->disable();
    viewer->enable();
    EXPECT_EQ(viewer->getSpace(), nullptr);
    EXPECT_EQ(graphicsCount(), 0u);
    EXPECT_FALSE(viewer->pick(geometry::Ray(Vec(0, 0, 5), Vec(0, 0, -1)), nullptr));

    ASSERT_TRUE(viewer->setFar(3000));
    const auto copy = object::Pointer<Viewer>(static_cast<Viewer*>(viewer->clone().get()));
    EXPECT_EQ(copy->getFrustum().getOrigin(), Vec(1, 2, 3));
    EXPECT_EQ(copy->getCamera().getFar(), 3000.0f);
    EXPECT_EQ(copy->getCamera().getReferenceCount(), 1);
    expectNear(copy->rayThrough(0, 0).direction, Vec(-100, 0, 0));
}

}  // namespace
}  // namespace nevrik::scene3d
