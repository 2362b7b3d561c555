#include "nevrik/scene3d/Node.h"

#include "SceneProbes.h"

namespace nevrik::scene3d {
namespace {

using NodeTest = SceneFixture;

TEST_F(NodeTest, MarkDirtyWithoutLocaleOrParentOnlySetsTheFlag) {
    Node loose(Node::KIND_GROUP | Node::KIND_GRAPHICS);
    EXPECT_EQ(loose.className(), "Object:Node");
    // Only a group may claim the group layout: a plain node would be walked as one.
    EXPECT_EQ(loose.getKind(), Node::KIND_GRAPHICS);
    EXPECT_EQ(loose.getFlags(), 3u);
    loose.markDirty();
    EXPECT_TRUE(loose.hasFlag(Node::FLAG_DIRTY));
    EXPECT_FALSE(loose.isListed());
    // Attached but parentless: a root is never listed.
    mRoot->markDirty();
    EXPECT_FALSE(mRoot->isListed());
    EXPECT_TRUE(dirtyList(*mUniverse).empty());
}

TEST_F(NodeTest, MarkedGroupListsItsSubtreeParentsFirstAndTwoPassesDrainIt) {
    auto* group = add<ProbeGroup>(mRoot, &mRecord);
    auto* inner = add<ProbeGroup>(group, &mRecord);
    auto* deep = add<ProbeGeometry>(inner, &mRecord);
    auto* side = add<ProbeGeometry>(group, &mRecord);
    mUniverse->update();
    mUniverse->update();
    ASSERT_TRUE(dirtyList(*mUniverse).empty());
    mRecord.updated.clear();

    // Listed on its own first, `side` keeps its place when the group follows.
    side->markDirty();
    group->markDirty();
    const std::vector<Node*> listed = dirtyList(*mUniverse);
    ASSERT_EQ(listed.size(), 4u);
    EXPECT_EQ(listed.front(), group);
    EXPECT_EQ(listed.back(), side);
    EXPECT_TRUE(dirtyListIsSound(*mUniverse));
    EXPECT_TRUE(deep->hasFlag(Node::FLAG_DIRTY));

    mUniverse->update();
    const std::vector<const Node*>& updated = mRecord.updated;
    ASSERT_EQ(updated.size(), 4u);
    EXPECT_EQ(updated[0], group);
    EXPECT_LT(std::find(updated.begin(), updated.end(), inner),
              std::find(updated.begin(), updated.end(), deep));
    // Recomputed nodes stay listed, clean, for one more pass.
    EXPECT_EQ(dirtyList(*mUniverse).size(), 4u);
    EXPECT_FALSE(group->hasFlag(Node::FLAG_DIRTY));
    mUniverse->update();
    EXPECT_EQ(updated.size(), 4u);
    EXPECT_TRUE(dirtyList(*mUniverse).empty());
    EXPECT_FALSE(deep->hasFlag(Node::FLAG_DIRTY));
}

TEST_F(NodeTest, CleanChildOfARedirtiedListedGroupIsRecomputedOnePassLater) {
    auto* group = add<ProbeGroup>(mRoot, &mRecord);
    auto* leaf = add<ProbeGeometry>(group, &mRecord);
    mUniverse->update();
    mRecord.updated.clear();
    // Both listed and clean; dirtying the listed group again visits no child.
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
}

TEST_F(NodeTest, NodeDetachedBehindAListedParentIsDroppedOrListedAfreshElsewhere) {
    auto* first = add<ProbeGroup>(mRoot, &mRecord);
    auto* second = add<ProbeGroup>(mRoot, &mRecord);
    auto* leaf = add<ProbeGeometry>(first, &mRecord);
    auto* other = add<ProbeGeometry>(first, &mRecord);
    mUniverse->update();
    mUniverse->update();
    // Each goes to the head, so `second` ends up behind the leaves.
    second->markDirty();
    first->markDirty();
    ASSERT_EQ(dirtyList(*mUniverse), (std::vector<Node*>{first, other, leaf, second}));

    const object::Pointer<Node> kept(other);
    ASSERT_TRUE(first->removeChild(other));
    // Its parent is listed: it stays listed, dirty, without locale or parent.
    EXPECT_TRUE(other->isListed());
    EXPECT_TRUE(other->hasFlag(Node::FLAG_DIRTY));
    EXPECT_EQ(other->getLocale(), nullptr);
    // Moved behind a parent listed after it, the leaf must not stay ahead.
    ASSERT_TRUE(second->addChild(leaf));
    EXPECT_TRUE(dirtyListIsSound(*mUniverse));

    mRecord.updated.clear();
    mUniverse->update();
    EXPECT_EQ(mRecord.updated, (std::vector<const Node*>{first, second, leaf}));
    EXPECT_FALSE(other->isListed());
    EXPECT_TRUE(dirtyListIsSound(*mUniverse));
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
}

}  // namespace
}  // namespace nevrik::scene3d
