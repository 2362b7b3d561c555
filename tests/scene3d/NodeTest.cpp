#include "nevrik/scene3d/Node.h"

#include "nevrik/scene3d/Universe.h"

#include "SceneProbes.h"

namespace nevrik::scene3d {
namespace {

using NodeTest = SceneFixture;

TEST_F(NodeTest, NewNodeHasItsKindInitialFlagsAndNoLinks) {
    const auto node = object::Pointer<Node>::adopt(new Node(0x300));
    EXPECT_EQ(node->getKind(), 0x300u);
    EXPECT_EQ(node->getFlags(), 3u);
    EXPECT_EQ(node->getLocale(), nullptr);
    EXPECT_FALSE(node->isListed());
    EXPECT_EQ(node->className(), "Object:Node");
    // Only a group may claim the group layout: a plain node that did would
    // be walked as one.
    EXPECT_EQ(Node(Node::KIND_GROUP | Node::KIND_GRAPHICS).getKind(), Node::KIND_GRAPHICS);
}

TEST_F(NodeTest, MarkDirtyWithoutLocaleOrParentOnlySetsTheFlag) {
    Group loose;
    loose.markDirty();
    EXPECT_TRUE(loose.hasFlag(Node::FLAG_DIRTY));
    EXPECT_FALSE(loose.isListed());

    // Attached but parentless: a root is never listed.
    mRoot->markDirty();
    EXPECT_TRUE(mRoot->hasFlag(Node::FLAG_DIRTY));
    EXPECT_FALSE(mRoot->isListed());
    mUniverse->update();
    mUniverse->update();
    EXPECT_TRUE(dirtyList(*mUniverse).empty());
}

TEST_F(NodeTest, MarkingAGroupListsItsUnlistedSubtreeBehindItAndTwoPassesDrainIt) {
    auto* group = add<ProbeGroup>(mRoot, &mRecord);
    auto* inner = add<ProbeGroup>(group, &mRecord);
    auto* leafA = add<ProbeGeometry>(inner, &mRecord);
    auto* leafB = add<ProbeGeometry>(group, &mRecord);
    // Attaching listed them all; drain the list first.
    mUniverse->update();
    mUniverse->update();
    ASSERT_TRUE(dirtyList(*mUniverse).empty());
    mRecord.updated.clear();

    // leafB listed on its own first: it keeps its place when the group follows.
    leafB->markDirty();
    group->markDirty();
    const std::vector<Node*> listed = dirtyList(*mUniverse);
    ASSERT_EQ(listed.size(), 4u);
    EXPECT_EQ(listed.front(), group);
    EXPECT_EQ(listed.back(), leafB);
    EXPECT_TRUE(dirtyListIsSound(*mUniverse));
    for (const Node* node : {static_cast<Node*>(group), static_cast<Node*>(inner), static_cast<Node*>(leafA),
                             static_cast<Node*>(leafB)}) {
        EXPECT_TRUE(node->hasFlag(Node::FLAG_DIRTY));
    }

    mUniverse->update();
    ASSERT_EQ(mRecord.updated.size(), 4u);
    EXPECT_EQ(mRecord.updated[0], group);
    const auto position = [&](const Node* node) {
        return std::find(mRecord.updated.begin(), mRecord.updated.end(), node) - mRecord.updated.begin();
    };
    EXPECT_LT(position(inner), position(leafA));
    // Recomputed nodes stay listed, clean, for one more pass.
    EXPECT_EQ(dirtyList(*mUniverse).size(), 4u);
    EXPECT_FALSE(group->hasFlag(Node::FLAG_DIRTY));

    mUniverse->update();
    EXPECT_EQ(mRecord.updated.size(), 4u);
    EXPECT_TRUE(dirtyList(*mUniverse).empty());
    EXPECT_FALSE(leafA->isListed());
    EXPECT_FALSE(leafA->hasFlag(Node::FLAG_DIRTY));
}

TEST_F(NodeTest, NodeDirtiedAgainBetweenPassesIsRecomputedWithoutReentering) {
    auto* group = add<ProbeGroup>(mRoot, &mRecord);
    auto* leaf = add<ProbeGeometry>(group, &mRecord);
    mUniverse->update();
    ASSERT_EQ(dirtyList(*mUniverse).size(), 2u);
    mRecord.updated.clear();

    leaf->markDirty();
    EXPECT_EQ(dirtyList(*mUniverse).size(), 2u);
    mUniverse->update();
    // The group was clean: it is dropped; the leaf is recomputed and kept.
    EXPECT_EQ(mRecord.updated, std::vector<const Node*>{leaf});
    EXPECT_EQ(dirtyList(*mUniverse), std::vector<Node*>{leaf});
    mUniverse->update();
    EXPECT_TRUE(dirtyList(*mUniverse).empty());
}

TEST_F(NodeTest, CleanChildOfARedirtiedListedGroupIsRecomputedOnePassLater) {
    auto* group = add<ProbeGroup>(mRoot, &mRecord);
    auto* leaf = add<ProbeGeometry>(group, &mRecord);
    mUniverse->update();
    mRecord.updated.clear();
    // Both listed and clean; the group is dirtied again without re-listing,
    // so its child is not visited.
    group->markDirty();
    EXPECT_FALSE(leaf->hasFlag(Node::FLAG_DIRTY));

    mUniverse->update();
    EXPECT_EQ(mRecord.updated, std::vector<const Node*>{group});
    EXPECT_TRUE(leaf->hasFlag(Node::FLAG_DIRTY));
    mUniverse->update();
    EXPECT_EQ(mRecord.updated, (std::vector<const Node*>{group, leaf}));
    EXPECT_EQ(dirtyList(*mUniverse), std::vector<Node*>{leaf});
    mUniverse->update();
    EXPECT_TRUE(dirtyList(*mUniverse).empty());
    EXPECT_EQ(mRecord.updated.size(), 2u);
}

TEST_F(NodeTest, NodeDetachedBehindAListedParentIsDroppedByTheNextPass) {
    auto* group = add<ProbeGroup>(mRoot, &mRecord);
    auto* leaf = add<ProbeGeometry>(group, &mRecord);
    ASSERT_TRUE(leaf->isListed());
    const object::Pointer<Node> kept(leaf);
    ASSERT_TRUE(group->removeChild(leaf));
    // The parent is listed, so the child stays listed, dirty, without a locale.
    EXPECT_TRUE(leaf->isListed());
    EXPECT_TRUE(leaf->hasFlag(Node::FLAG_DIRTY));
    EXPECT_EQ(leaf->getLocale(), nullptr);
    EXPECT_EQ(leaf->getParent(), nullptr);

    mRecord.updated.clear();
    mUniverse->update();
    EXPECT_EQ(mRecord.updated, std::vector<const Node*>{group});
    EXPECT_FALSE(leaf->isListed());
    EXPECT_TRUE(dirtyListIsSound(*mUniverse));
}

TEST_F(NodeTest, NodeDetachedBehindAListedParentIsListedAfreshWhenAddedElsewhere) {
    auto* first = add<ProbeGroup>(mRoot, &mRecord);
    auto* second = add<ProbeGroup>(mRoot, &mRecord);
    auto* leaf = add<ProbeGeometry>(first, &mRecord);
    mUniverse->update();
    mUniverse->update();
    // Each goes to the head, so second ends up behind the leaf's old place:
    // the leaf must not stay ahead of its new parent.
    second->markDirty();
    first->markDirty();
    ASSERT_EQ(dirtyList(*mUniverse), (std::vector<Node*>{first, leaf, second}));
    ASSERT_TRUE(second->addChild(leaf));
    EXPECT_TRUE(dirtyListIsSound(*mUniverse));
    EXPECT_EQ(leaf->getLocale(), mLocale);

    mRecord.updated.clear();
    mUniverse->update();
    const auto& updated = mRecord.updated;
    ASSERT_EQ(updated.size(), 3u);
    EXPECT_LT(std::find(updated.begin(), updated.end(), second), std::find(updated.begin(), updated.end(), leaf));
}

TEST_F(NodeTest, DyingNodeLeavesTheDirtyList) {
    auto* group = add<ProbeGroup>(mRoot, &mRecord);
    auto* first = add<ProbeGeometry>(group, &mRecord);
    add<ProbeGeometry>(group, &mRecord);
    ASSERT_EQ(dirtyList(*mUniverse).size(), 3u);
    // The group held the only reference: the child dies while listed.
    ASSERT_TRUE(group->removeChild(first));
    EXPECT_EQ(mRecord.destroyed, 1);
    EXPECT_EQ(dirtyList(*mUniverse).size(), 2u);
    EXPECT_TRUE(dirtyListIsSound(*mUniverse));
    mUniverse->update();
    mUniverse->update();
}

TEST_F(NodeTest, AttachInheritsOnlyBelowATransformingParent) {
    auto* plain = add<Group>(mRoot);
    auto* transforming = add<TransformGroup>(mRoot, translation(1, 2, 3));
    auto* below = add<Group>(transforming);
    auto* deeper = add<Geometry>(below);
    EXPECT_FALSE(plain->hasFlag(Node::FLAG_INHERIT));
    EXPECT_FALSE(transforming->hasFlag(Node::FLAG_INHERIT));
    // The flag passes down through every inheriting group.
    EXPECT_TRUE(below->hasFlag(Node::FLAG_INHERIT));
    EXPECT_TRUE(deeper->hasFlag(Node::FLAG_INHERIT));
    const object::Pointer<Node> kept(below);
    ASSERT_TRUE(transforming->removeChild(below));
    EXPECT_FALSE(below->hasFlag(Node::FLAG_INHERIT));
    EXPECT_FALSE(deeper->hasFlag(Node::FLAG_INHERIT));
    // Under a plain group the flag does not come back.
    ASSERT_TRUE(plain->addChild(below));
    EXPECT_FALSE(deeper->hasFlag(Node::FLAG_INHERIT));
}

TEST_F(NodeTest, DisableAndEnableRunTheirHooksOnlyOnAChange) {
    auto* leaf = add<Geometry>(mRoot);
    mUniverse->update();
    ASSERT_EQ(graphicsCount(), 1u);
    leaf->disable();
    EXPECT_FALSE(leaf->hasFlag(Node::FLAG_ENABLED));
    EXPECT_EQ(graphicsCount(), 0u);
    leaf->disable();
    EXPECT_EQ(graphicsCount(), 0u);
    leaf->enable();
    leaf->enable();
    EXPECT_EQ(graphicsCount(), 1u);
    EXPECT_TRUE(mLocale->getGraphicsSpace().check());
}

TEST_F(NodeTest, CloneCopiesNameAndKindButNoStateOrLinks) {
    auto* leaf = add<Geometry>(mRoot);
    leaf->setName("wing");
    leaf->disable();
    leaf->markDirty();
    const auto copy = object::Pointer<Node>::adopt(leaf->clone());
    EXPECT_EQ(copy->getName(), "wing");
    EXPECT_EQ(copy->getKind(), leaf->getKind());
    EXPECT_EQ(copy->getFlags(), 3u);
    EXPECT_EQ(copy->getParent(), nullptr);
    EXPECT_EQ(copy->getLocale(), nullptr);
    EXPECT_FALSE(copy->isListed());
    EXPECT_EQ(copy->getReferenceCount(), 1);
    EXPECT_EQ(copy->getAttachments().getCount(), 0);
}

}  // namespace
}  // namespace nevrik::scene3d
