#include "nevrik/scene3d/Group.h"

#include "nevrik/scene3d/ModelNode.h"
#include "nevrik/scene3d/Viewer.h"

#include "SceneProbes.h"

#include <initializer_list>
#include <utility>

namespace nevrik::scene3d {
namespace {

using GroupTest = SceneFixture;

constexpr std::uint32_t kGeometryBits = Node::KIND_PLACEABLE | Node::KIND_GRAPHICS | Node::KIND_GEOMETRY;

std::vector<Node*> childrenOf(const Group& group) {
    std::vector<Node*> children;
    for (Node* child = group.getFirstChild(); child != nullptr; child = child->getNextSibling()) {
        children.push_back(child);
    }
    return children;
}

void expectSound(std::initializer_list<const Group*> groups) {
    for (const Group* group : groups) {
        EXPECT_TRUE(group->check()) << group->getName().c_str();
    }
}

// Records the hooks in order.
class HookGroup : public Group {
public:
    void onChildAdded(Node* child) override { mEvents.push_back({true, child}); }
    void onChildRemoved(Node* child) override { mEvents.push_back({false, child}); }

    std::vector<std::pair<bool, Node*>> mEvents;
};

TEST_F(GroupTest, ReAddingAChildChangesNothing) {
    auto* group = add<HookGroup>(mRoot);
    auto* first = add<Geometry>(group);
    auto* second = add<Geometry>(group);
    const int references = first->getReferenceCount();  // the group's and the space's
    EXPECT_TRUE(group->addChild(first));
    EXPECT_EQ(first->getReferenceCount(), references);
    EXPECT_EQ(childrenOf(*group), (std::vector<Node*>{first, second}));
    EXPECT_EQ(group->mEvents.size(), 2u);
    EXPECT_TRUE(group->check());
}

TEST_F(GroupTest, RefusesNullItselfAnAncestorAndAHungRoot) {
    auto* outer = add<Group>(mRoot);
    auto* inner = add<Group>(outer);
    EXPECT_FALSE(inner->addChild(nullptr));
    EXPECT_FALSE(inner->addChild(inner));
    EXPECT_FALSE(inner->addChild(outer));
    EXPECT_FALSE(inner->addChild(mRoot));
    EXPECT_EQ(inner->getParent(), outer);
    EXPECT_EQ(mRoot->getParent(), nullptr);
    expectSound({mRoot, outer, inner});
    EXPECT_FALSE(outer->removeChild(nullptr));
    EXPECT_FALSE(mRoot->removeChild(inner));
    EXPECT_EQ(inner->getParent(), outer);
}

TEST_F(GroupTest, MovingAChildKeepsOneReferenceAndBothChainsKinds) {
    auto* left = add<Group>(mRoot);
    auto* leftInner = add<Group>(left);
    auto* right = add<Group>(mRoot);
    auto* rightInner = add<Group>(right);
    auto* leaf = add<Geometry>(leftInner);
    EXPECT_EQ(left->getChildKinds(), Node::KIND_GROUP | kGeometryBits);
    EXPECT_EQ(mRoot->getChildKinds(), Node::KIND_GROUP | kGeometryBits);

    // The old parent held the only reference: taken over before it lets go.
    ASSERT_TRUE(rightInner->addChild(leaf));
    EXPECT_EQ(leaf->getReferenceCount(), 2);  // the new parent's and the space's
    EXPECT_EQ(leaf->getParent(), rightInner);
    EXPECT_EQ(leftInner->getFirstChild(), nullptr);
    EXPECT_EQ(leftInner->getChildKinds(), 0u);
    EXPECT_EQ(left->getChildKinds(), Node::KIND_GROUP);
    EXPECT_EQ(rightInner->getChildKinds(), kGeometryBits);
    EXPECT_EQ(right->getChildKinds(), Node::KIND_GROUP | kGeometryBits);
    EXPECT_EQ(mRoot->getChildKinds(), Node::KIND_GROUP | kGeometryBits);
    EXPECT_EQ(graphicsCount(), 1u);
    expectSound({mRoot, left, leftInner, right, rightInner});
}

TEST_F(GroupTest, RemovingTheOnlyGeometryClearsItsBitUpToTheFirstAncestorWithOther) {
    auto* top = add<Group>(mRoot);
    auto* middle = add<Group>(top);
    auto* bottom = add<Group>(middle);
    auto* viewer = add<Viewer>(middle);
    auto* deep = add<Geometry>(bottom);
    auto* sideways = add<Geometry>(mRoot);
    EXPECT_EQ(top->getChildKinds(), Node::KIND_GROUP | kGeometryBits);

    ASSERT_TRUE(bottom->removeChild(deep));
    EXPECT_EQ(bottom->getChildKinds(), 0u);
    // The viewer keeps the graphics and placeable bits; only geometry goes.
    EXPECT_EQ(middle->getChildKinds(), Node::KIND_GROUP | viewer->getKind());
    EXPECT_EQ(top->getChildKinds(), Node::KIND_GROUP | viewer->getKind());
    EXPECT_EQ(mRoot->getChildKinds() & Node::KIND_GEOMETRY, Node::KIND_GEOMETRY);
    ASSERT_TRUE(mRoot->removeChild(sideways));
    EXPECT_EQ(mRoot->getChildKinds(), Node::KIND_GROUP | viewer->getKind());
    expectSound({mRoot, top, middle, bottom});
}

TEST_F(GroupTest, RemovingOneOfTwoGeometriesChangesNoKinds) {
    auto* group = add<Group>(mRoot);
    auto* first = add<Geometry>(group);
    add<Geometry>(group);
    const std::uint32_t before = mRoot->getChildKinds();
    ASSERT_TRUE(group->removeChild(first));
    EXPECT_EQ(group->getChildKinds(), kGeometryBits);
    EXPECT_EQ(mRoot->getChildKinds(), before);
}

TEST_F(GroupTest, RemoveAllChildrenClearsKindsEverywhereAndDropsEachReferenceOnce) {
    auto* group = add<HookGroup>(mRoot);
    auto* first = add<ProbeGeometry>(group, &mRecord);
    auto* second = add<ProbeGeometry>(group, &mRecord);
    mUniverse->update();
    ASSERT_EQ(graphicsCount(), 2u);
    group->removeAllChildren();
    EXPECT_EQ(mRecord.destroyed, 2);
    EXPECT_EQ(group->getFirstChild(), nullptr);
    EXPECT_EQ(group->getLastChild(), nullptr);
    EXPECT_EQ(mRoot->getChildKinds(), Node::KIND_GROUP);
    EXPECT_EQ(graphicsCount(), 0u);
    EXPECT_TRUE(dirtyListIsSound(*mUniverse));
    const std::vector<std::pair<bool, Node*>> events = {{true, first}, {true, second}, {false, first}, {false, second}};
    EXPECT_EQ(group->mEvents, events);
}

TEST_F(GroupTest, ChildAddedToADisabledGroupIsDisabled) {
    auto* group = add<Group>(mRoot);
    group->disable();
    auto* leaf = add<Geometry>(group);
    EXPECT_FALSE(leaf->hasFlag(Node::FLAG_ENABLED));
    EXPECT_EQ(graphicsCount(), 0u);
    // Its own flag was cleared: enabling the group leaves it out.
    group->enable();
    EXPECT_EQ(graphicsCount(), 0u);
    leaf->enable();
    EXPECT_EQ(graphicsCount(), 1u);
}

TEST_F(GroupTest, DisablingAGroupTakesItsLeavesOutAndEnablingPutsThemBack) {
    auto* outer = add<Group>(mRoot);
    auto* inner = add<Group>(outer);
    auto* near = add<Geometry>(outer);
    auto* far = add<Geometry>(inner);
    auto* off = add<Geometry>(inner);
    off->disable();
    mUniverse->update();
    ASSERT_EQ(graphicsCount(), 2u);

    outer->disable();
    EXPECT_EQ(graphicsCount(), 0u);
    EXPECT_EQ(near->getSpace(), nullptr);
    EXPECT_TRUE(far->hasFlag(Node::FLAG_ENABLED));
    // Recomputing a leaf below a disabled group keeps it out.
    far->markDirty();
    mUniverse->update();
    EXPECT_EQ(graphicsCount(), 0u);
    // So does moving the disabled group under another parent.
    auto* other = add<Group>(mRoot);
    ASSERT_TRUE(other->addChild(outer));
    EXPECT_EQ(graphicsCount(), 0u);

    outer->enable();
    EXPECT_EQ(graphicsCount(), 2u);
    EXPECT_EQ(off->getSpace(), nullptr);
    EXPECT_TRUE(mLocale->getGraphicsSpace().check());
    // An inner group disabled while the outer one is off stays off.
    outer->disable();
    inner->disable();
    outer->enable();
    EXPECT_EQ(graphicsCount(), 1u);
    EXPECT_EQ(near->getSpace(), &mLocale->getGraphicsSpace());
}

TEST_F(GroupTest, CloneCopiesTheSubtreeInOrderHeldOnlyByTheCopy) {
    auto* group = add<Group>(mRoot);
    group->updateTransform(translation(4, 5, 6));
    auto* inner = add<Group>(group);
    auto* leaf = add<Geometry>(inner);
    leaf->setLocalTransform(translation(1, 0, 0));
    add<Viewer>(group);

    const auto copy = object::Pointer<Node>::adopt(group->clone());
    auto& copied = static_cast<Group&>(*copy);
    EXPECT_EQ(copied.getTransform().getColumn(3), math::Vector3<float>(4, 5, 6));
    const std::vector<Node*> children = childrenOf(copied);
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0]->className(), inner->className());
    EXPECT_EQ(children[1]->className(), "Object:Node:Leaf:Graphics:Viewer");
    EXPECT_EQ(children[0]->getReferenceCount(), 1);
    EXPECT_EQ(copied.getChildKinds(), group->getChildKinds());
    const auto* copiedLeaf = static_cast<Geometry*>(static_cast<Group*>(children[0])->getFirstChild());
    ASSERT_NE(copiedLeaf, nullptr);
    EXPECT_NE(copiedLeaf, leaf);
    EXPECT_EQ(copiedLeaf->getLocalTransform().getColumn(3), math::Vector3<float>(1, 0, 0));
    EXPECT_EQ(copiedLeaf->getSpace(), nullptr);
    EXPECT_TRUE(copied.check());
}

TEST_F(GroupTest, TearingDownATreeDestroysEveryNodeExactlyOnce) {
    auto* group = add<ProbeGroup>(mRoot, &mRecord);
    auto* inner = add<ProbeGroup>(group, &mRecord);
    for (int i = 0; i < 5; ++i) {
        add<ProbeGeometry>(inner, &mRecord)->setLocalTransform(translation(3.0f * i, 0, 0));
    }
    add<ProbeGeometry>(group, &mRecord);
    mUniverse->update();
    ASSERT_EQ(graphicsCount(), 6u);
    // A subtree kept by the test outlives the universe, out of every list.
    const object::Pointer<Node> kept(inner);
    mUniverse.reset();
    EXPECT_EQ(mRecord.destroyed, 2);
    EXPECT_EQ(mRecord.alive, 6);
    EXPECT_EQ(inner->getLocale(), nullptr);
    EXPECT_FALSE(inner->isListed());
    EXPECT_EQ(inner->getReferenceCount(), 1);
}

}  // namespace
}  // namespace nevrik::scene3d
