#include "nevrik/scene3d/Geometry.h"

#include "SceneProbes.h"

#include <limits>

namespace nevrik::scene3d {
namespace {

using Vec = math::Vector3<float>;
using GeometryTest = SceneFixture;

TEST_F(GeometryTest, NewGeometryIsAPlaceableGraphicsLeafWithTheUnitCube) {
    Geometry geometry;
    EXPECT_EQ(geometry.getKind(), 0x308u);
    EXPECT_EQ(geometry.className(), "Object:Node:Leaf:Graphics:Geometry");
    EXPECT_EQ(geometry.getLocalBox().getAxis(2), Vec(0, 0, 1));
    EXPECT_EQ(geometry.getWorldBounds().max, Vec(1, 1, 1));
    EXPECT_EQ(geometry.getSlotIndex(), -1);
    EXPECT_FALSE(geometry.pick(geometry::Ray(Vec(0, 0, 5), Vec(0, 0, -1)), nullptr));
}

TEST_F(GeometryTest, WithoutATransformAncestorOnlyTheLocalTransformCounts) {
    auto* group = add<Group>(mRoot);
    auto* leaf = add<Geometry>(group);
    mUniverse->update();
    group->updateTransform(translation(100, 0, 0));
    leaf->setLocalTransform(translation(1, 2, 3));
    leaf->markDirty();
    mUniverse->update();
    EXPECT_FALSE(leaf->hasFlag(Node::FLAG_INHERIT));
    EXPECT_EQ(leaf->getWorldBox().getCentre(), Vec(1, 2, 3));
    EXPECT_EQ(&leaf->getEffectiveTransform(), &leaf->getLocalTransform());
    EXPECT_EQ(leaf->getWorldBounds().min, Vec(0, 1, 2));
}

TEST_F(GeometryTest, BelowATransformAncestorTheParentTransformComesFirst) {
    math::Matrix4<float> scaled = translation(100, 0, 0);
    scaled(0, 0) = 2.0f;
    auto* group = add<TransformGroup>(mRoot, scaled);
    auto* leaf = add<Geometry>(group);
    leaf->setLocalTransform(translation(1, 2, 3));
    mUniverse->update();
    ASSERT_TRUE(leaf->hasFlag(Node::FLAG_INHERIT));
    // parent × local: the local move is scaled too.
    EXPECT_EQ(leaf->getWorldTransform().getColumn(3), Vec(102, 2, 3));
    EXPECT_EQ(&leaf->getEffectiveTransform(), &leaf->getWorldTransform());
    EXPECT_EQ(leaf->getWorldBox().getCentre(), Vec(102, 2, 3));
    EXPECT_EQ(leaf->getWorldBox().getSquaredLength(0), 4.0f);
    EXPECT_EQ(leaf->getWorldBounds().max, Vec(104, 3, 4));
}

TEST_F(GeometryTest, MovingLeafFollowsItsBoxThroughTheSpace) {
    auto* still = add<Geometry>(mRoot);
    auto* moving = add<Geometry>(mRoot);
    still->setLocalTransform(translation(-20, -20, -20));
    moving->setLocalTransform(translation(20, 20, 20));
    mUniverse->update();
    const auto* before = moving->getSpaceNode();
    moving->setLocalTransform(translation(-20, -20, -18));
    moving->markDirty();
    mUniverse->update();
    EXPECT_NE(moving->getSpaceNode(), before);
    EXPECT_EQ(graphicsCount(), 2u);
    EXPECT_EQ(moving->getReferenceCount(), 2);
    EXPECT_TRUE(mLocale->getGraphicsSpace().check());
}

TEST_F(GeometryTest, BoxTheSpaceRefusesTakesTheLeafOutUntilAGoodOneComes) {
    auto* leaf = add<Geometry>(mRoot);
    mUniverse->update();
    ASSERT_EQ(graphicsCount(), 1u);
    math::Matrix4<float> broken = translation(std::numeric_limits<float>::quiet_NaN(), 0, 0);
    leaf->setLocalTransform(broken);
    leaf->markDirty();
    mUniverse->update();
    EXPECT_EQ(graphicsCount(), 0u);
    EXPECT_EQ(leaf->getReferenceCount(), 1);
    EXPECT_TRUE(mLocale->getGraphicsSpace().check());

    leaf->setLocalTransform(translation(0, 0, 7));
    leaf->markDirty();
    mUniverse->update();
    EXPECT_EQ(graphicsCount(), 1u);
    EXPECT_EQ(leaf->getWorldBox().getCentre(), Vec(0, 0, 7));
}

TEST_F(GeometryTest, CloneCopiesTransformsAndStartsFromTheLocalBox) {
    auto* group = add<TransformGroup>(mRoot, translation(50, 0, 0));
    auto* leaf = add<Geometry>(group);
    leaf->setLocalTransform(translation(1, 0, 0));
    mUniverse->update();
    const auto copy = object::Pointer<Geometry>::adopt(static_cast<Geometry*>(leaf->clone()));
    EXPECT_EQ(copy->getLocalTransform().getColumn(3), Vec(1, 0, 0));
    EXPECT_EQ(copy->getWorldTransform().getColumn(3), Vec(51, 0, 0));
    EXPECT_EQ(copy->getWorldBox().getCentre(), Vec(0, 0, 0));
    EXPECT_FALSE(copy->hasFlag(Node::FLAG_INHERIT));
    EXPECT_EQ(copy->getSpace(), nullptr);
}

}  // namespace
}  // namespace nevrik::scene3d
