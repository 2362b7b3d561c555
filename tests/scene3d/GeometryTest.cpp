#include "nevrik/scene3d/Geometry.h"

#include "SceneProbes.h"

#include <limits>

namespace nevrik::scene3d {
namespace {

using Vec = math::Vector3<float>;
using GeometryTest = SceneFixture;

TEST_F(GeometryTest, OnlyATransformAncestorAddsItsTransformToTheLocalOne) {
    auto* plain = add<Group>(mRoot);
    math::Matrix4<float> scaled = translation(100, 0, 0);
    scaled(0, 0) = 2.0f;
    auto* transforming = add<TransformGroup>(mRoot, scaled);
    auto* alone = add<Geometry>(plain);
    auto* inheriting = add<Geometry>(transforming);
    EXPECT_EQ(alone->className(), "Object:Node:Leaf:Graphics:Geometry");
    mUniverse->update();
    plain->updateTransform(translation(100, 0, 0));
    for (Geometry* leaf : {alone, inheriting}) {
        leaf->setLocalTransform(translation(1, 2, 3));
        leaf->markDirty();
    }
    mUniverse->update();

    EXPECT_FALSE(alone->hasFlag(Node::FLAG_INHERIT));
    EXPECT_EQ(alone->getWorldBox().getCentre(), Vec(1, 2, 3));
    EXPECT_EQ(&alone->getEffectiveTransform(), &alone->getLocalTransform());
    EXPECT_EQ(alone->getWorldBounds().min, Vec(0, 1, 2));

    ASSERT_TRUE(inheriting->hasFlag(Node::FLAG_INHERIT));
    // parent × local: the local move is scaled too.
    EXPECT_EQ(inheriting->getWorldTransform().getColumn(3), Vec(102, 2, 3));
    EXPECT_EQ(&inheriting->getEffectiveTransform(), &inheriting->getWorldTransform());
    EXPECT_EQ(inheriting->getWorldBounds().max, Vec(104, 3, 4));
}

TEST_F(GeometryTest, LeafFollowsItsBoxThroughTheSpaceAndLeavesItForARefusedBox) {
    auto* still = add<Geometry>(mRoot);
    auto* moving = add<Geometry>(mRoot);
    still->setLocalTransform(translation(-20, -20, -20));
    moving->setLocalTransform(translation(20, 20, 20));
    mUniverse->update();
    const auto* before = moving->getSpaceNode();
    const auto move = [&](const math::Matrix4<float>& transform) {
        moving->setLocalTransform(transform);
        moving->markDirty();
        mUniverse->update();
    };
    move(translation(-20, -20, -18));
    EXPECT_NE(moving->getSpaceNode(), before);
    EXPECT_EQ(moving->getReferenceCount(), 2);
    EXPECT_TRUE(mLocale->getGraphicsSpace().check());

    move(translation(std::numeric_limits<float>::quiet_NaN(), 0, 0));
    EXPECT_EQ(moving->getSpace(), nullptr);
    EXPECT_EQ(moving->getReferenceCount(), 1);
    EXPECT_TRUE(mLocale->getGraphicsSpace().check());
    move(translation(0, 0, 7));
    EXPECT_EQ(graphicsCount(), 2u);
    EXPECT_EQ(moving->getWorldBox().getCentre(), Vec(0, 0, 7));
}

}  // namespace
}  // namespace nevrik::scene3d
