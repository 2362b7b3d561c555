#include "nevrik/scene3d/Group.h"

#include "nevrik/scene3d/Viewer.h"

#include "SceneProbes.h"

#include <initializer_list>
#include <random>
#include <utility>

namespace nevrik::scene3d {
namespace {

using GroupTest = SceneFixture;

constexpr std::uint32_t kGroup = Node::KIND_GROUP;
constexpr std::uint32_t kGeometry = Node::KIND_PLACEABLE | Node::KIND_GRAPHICS | Node::KIND_GEOMETRY;

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

TEST_F(GroupTest, ReAddingChangesNothingAndCyclesAndHungRootsAreRefused) {
    auto* group = add<HookGroup>(mRoot);
    auto* inner = add<Group>(group);
    auto* leaf = add<Geometry>(group);
    const int references = leaf->getReferenceCount();  // the group's and the space's
    EXPECT_TRUE(group->addChild(inner));
    EXPECT_EQ(leaf->getReferenceCount(), references);
    EXPECT_EQ(childrenOf(*group), (std::vector<Node*>{inner, leaf}));
    EXPECT_EQ(group->mEvents.size(), 2u);

    for (Node* refused : {static_cast<Node*>(nullptr), static_cast<Node*>(inner), static_cast<Node*>(group),
                          static_cast<Node*>(mRoot), static_cast<Node*>(&mUniverse->getDirtyNode())}) {
        EXPECT_FALSE(inner->addChild(refused));
    }
    EXPECT_FALSE(mRoot->removeChild(inner));
    EXPECT_EQ(inner->getParent(), group);
    expectSound({mRoot, group, inner});

    group->removeAllChildren();
    const std::vector<std::pair<bool, Node*>> events = {
        {true, inner}, {true, leaf}, {false, inner}, {false, leaf}};
    EXPECT_EQ(group->mEvents, events);
    EXPECT_EQ(group->getLastChild(), nullptr);
    EXPECT_EQ(mRoot->getChildKinds(), kGroup);
    EXPECT_EQ(graphicsCount(), 0u);
}

TEST_F(GroupTest, MovingAChildKeepsOneReferenceAndBothChainsKinds) {
    auto* left = add<Group>(mRoot);
    auto* leftInner = add<Group>(left);
    auto* right = add<Group>(mRoot);
    auto* rightInner = add<Group>(right);
    auto* leaf = add<Geometry>(leftInner);
    EXPECT_EQ(left->getChildKinds(), kGroup | kGeometry);

    // The old parent held the only reference: taken over before it lets go.
    ASSERT_TRUE(rightInner->addChild(leaf));
    EXPECT_EQ(leaf->getReferenceCount(), 2);  // the new parent's and the space's
    EXPECT_EQ(leaf->getParent(), rightInner);
    EXPECT_EQ(leftInner->getChildKinds(), 0u);
    EXPECT_EQ(left->getChildKinds(), kGroup);
    EXPECT_EQ(right->getChildKinds(), kGroup | kGeometry);
    EXPECT_EQ(mRoot->getChildKinds(), kGroup | kGeometry);
    EXPECT_EQ(graphicsCount(), 1u);
    expectSound({mRoot, left, leftInner, right, rightInner});
}

TEST_F(GroupTest, RemovingTheOnlyGeometryClearsItsBitUpToTheFirstAncestorWithOther) {
    auto* top = add<Group>(mRoot);
    auto* middle = add<Group>(top);
    auto* bottom = add<Group>(middle);
    auto* viewer = add<Viewer>(middle);
    auto* deep = add<Geometry>(bottom);
    auto* twin = add<Geometry>(bottom);
    auto* sideways = add<Geometry>(mRoot);

    ASSERT_TRUE(bottom->removeChild(twin));
    EXPECT_EQ(bottom->getChildKinds(), kGeometry);
    ASSERT_TRUE(bottom->removeChild(deep));
    EXPECT_EQ(bottom->getChildKinds(), 0u);
    // The viewer keeps the graphics and placeable bits; only geometry goes.
    EXPECT_EQ(middle->getChildKinds(), kGroup | viewer->getKind());
    EXPECT_EQ(top->getChildKinds(), kGroup | viewer->getKind());
    EXPECT_EQ(mRoot->getChildKinds(), kGroup | kGeometry);
    ASSERT_TRUE(mRoot->removeChild(sideways));
    EXPECT_EQ(mRoot->getChildKinds(), kGroup | viewer->getKind());
    expectSound({mRoot, top, middle, bottom});
}

TEST_F(GroupTest, DisablingAGroupTakesItsLeavesOutAndEnablingPutsThemBack) {
    auto* outer = add<Group>(mRoot);
    auto* inner = add<Group>(outer);
    auto* near = add<Geometry>(outer);
    auto* far = add<Geometry>(inner);
    mUniverse->update();
    ASSERT_EQ(graphicsCount(), 2u);

    outer->disable();
    EXPECT_EQ(graphicsCount(), 0u);
    EXPECT_TRUE(far->hasFlag(Node::FLAG_ENABLED));
    // A child added to a disabled group is disabled itself.
    auto* late = add<Geometry>(outer);
    EXPECT_FALSE(late->hasFlag(Node::FLAG_ENABLED));
    // Recomputing or moving leaves below a disabled group keeps them out.
    far->markDirty();
    mUniverse->update();
    ASSERT_TRUE(add<Group>(mRoot)->addChild(outer));
    EXPECT_EQ(graphicsCount(), 0u);

    outer->enable();
    EXPECT_EQ(graphicsCount(), 2u);
    EXPECT_EQ(late->getSpace(), nullptr);
    // An inner group disabled meanwhile stays out.
    outer->disable();
    inner->disable();
    outer->enable();
    EXPECT_EQ(graphicsCount(), 1u);
    EXPECT_EQ(near->getSpace(), &mLocale->getGraphicsSpace());
    EXPECT_TRUE(mLocale->getGraphicsSpace().check());
}

TEST_F(GroupTest, CloneCopiesTheSubtreeInOrderHeldOnlyByTheCopy) {
    auto* group = add<Group>(mRoot);
    group->setName("squadron");
    group->updateTransform(translation(4, 5, 6));
    auto* inner = add<Group>(group);
    auto* leaf = add<Geometry>(inner);
    leaf->setLocalTransform(translation(1, 0, 0));
    add<Viewer>(group)->disable();

    const auto copy = object::Pointer<Group>(static_cast<Group*>(group->clone().get()));
    EXPECT_EQ(copy->getName(), "squadron");
    EXPECT_EQ(copy->getLocale(), nullptr);
    EXPECT_EQ(copy->getTransform().getColumn(3), math::Vector3<float>(4, 5, 6));
    const std::vector<Node*> children = childrenOf(*copy);
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0]->getReferenceCount(), 1);
    EXPECT_EQ(children[1]->className(), "Object:Node:Leaf:Graphics:Viewer");
    EXPECT_EQ(children[1]->getFlags(), 3u);
    EXPECT_EQ(copy->getChildKinds(), group->getChildKinds());
    const auto* copiedLeaf = static_cast<Geometry*>(static_cast<Group*>(children[0])->getFirstChild());
    ASSERT_NE(copiedLeaf, nullptr);
    EXPECT_NE(copiedLeaf, leaf);
    EXPECT_EQ(copiedLeaf->getLocalTransform().getColumn(3), math::Vector3<float>(1, 0, 0));
    EXPECT_FALSE(copiedLeaf->isListed());
    expectSound({copy.get()});
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

TEST_F(GroupTest, RandomEditsKeepListsKindsAndSpaceConsistent) {
    std::mt19937 random(20261207);
    std::vector<object::Pointer<Group>> groups;
    std::vector<object::Pointer<Geometry>> leaves;
    std::vector<Node*> nodes;
    for (int i = 0; i < 6; ++i) {
        groups.push_back(object::make<Group>());
        nodes.push_back(groups.back().get());
    }
    for (int i = 0; i < 10; ++i) {
        leaves.push_back(object::make<Geometry>());
        nodes.push_back(leaves.back().get());
    }
    const auto pick = [&random](std::size_t size) {
        return std::uniform_int_distribution<std::size_t>(0, size - 1)(random);
    };
    for (int step = 0; step < 3000; ++step) {
        Node* node = nodes[pick(nodes.size())];
        switch (pick(5)) {
            case 0:
                (pick(4) == 0 ? static_cast<Group*>(mRoot) : groups[pick(groups.size())].get())
                    ->addChild(node);
                break;
            case 1:
                node->markDirty();
                break;
            case 2:
                mUniverse->update();
                break;
            case 3:
                node->hasFlag(Node::FLAG_ENABLED) ? node->disable() : node->enable();
                break;
            default:
                leaves[pick(leaves.size())]->setLocalTransform(
                    translation(float(pick(64)), float(pick(64)), 0));
                break;
        }
        ASSERT_TRUE(dirtyListIsSound(*mUniverse)) << "step " << step;
        std::size_t placed = 0;
        for (const auto& leaf : leaves) {
            const bool shown = leaf->getLocale() != nullptr && leaf->isActive();
            ASSERT_EQ(leaf->getSpace() != nullptr, shown) << "step " << step;
            ASSERT_EQ(leaf->getReferenceCount(), 1 + (leaf->getParent() ? 1 : 0) + (shown ? 1 : 0));
            placed += shown ? 1 : 0;
        }
        ASSERT_EQ(graphicsCount(), placed);
        for (const auto& group : groups) {
            ASSERT_TRUE(group->check()) << "step " << step;
        }
    }
    EXPECT_TRUE(mRoot->check());
    EXPECT_TRUE(mLocale->getGraphicsSpace().check());
}

}  // namespace
}  // namespace nevrik::scene3d
