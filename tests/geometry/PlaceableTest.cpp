#include "nevrik/geometry/Placeable.h"

#include "CountedLeaf.h"

#include "nevrik/object/Pointer.h"

#include <gtest/gtest.h>

#include <limits>

namespace nevrik::geometry {
namespace {

using test::CountedLeaf;
using test::cubeAround;
using test::LeafSpace;
using test::Vec;
using LeafPointer = object::Pointer<CountedLeaf>;

LeafPointer makeLeaf(const Vec& centre, float size, LeafSpace& space) {
    LeafPointer leaf = object::make<CountedLeaf>(cubeAround(centre, size));
    EXPECT_TRUE(space.insert(leaf.get()));
    return leaf;
}

TEST(PlaceableTest, WorldBoundsFollowTheWorldBox) {
    struct Plain final : object::Object, Placeable<float, 3, Plain> {
        const object::Object& getPlaceableObject() const noexcept override { return *this; }
    } plain;
    // The default box, the cube of edge 2, comes with its bounds.
    EXPECT_EQ(plain.getWorldBounds().min, Vec(-1.0f, -1.0f, -1.0f));
    EXPECT_EQ(plain.getWorldBounds().max, Vec(1.0f, 1.0f, 1.0f));
    EXPECT_EQ(plain.getSlotIndex(), -1);

    // Outside a space any box is taken; the space refuses it on insert.
    OrientedBox box;
    box.setCentre(Vec(std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f));
    EXPECT_TRUE(plain.setWorldBox(box));
    Space<float, 3, Plain> space;
    EXPECT_FALSE(space.insert(&plain));
}

TEST(PlaceableTest, SettingTheBoxInsideASpaceMovesTheLeaf) {
    LeafSpace space;
    LeafPointer anchor = makeLeaf(Vec(), 10.0f, space);
    LeafPointer moving = makeLeaf(Vec(2.0f, 2.0f, 2.0f), 1.0f, space);
    LeafPointer sibling = makeLeaf(Vec(6.0f, 6.0f, 6.0f), 1.0f, space);
    ASSERT_EQ(moving->getSpaceNode(), sibling->getSpaceNode());

    // Far out: the root grows to 128 and the cell left behind collapses.
    ASSERT_TRUE(moving->setWorldBox(OrientedBox(cubeAround(Vec(-50.0f, 0.0f, 0.0f), 1.0f))));
    EXPECT_EQ(space.getRoot().getCube().edge, 128.0f);
    EXPECT_EQ(moving->getSpaceNode(), &space.getRoot());
    EXPECT_EQ(moving->getSlotIndex(), 0);
    EXPECT_EQ(sibling->getSpaceNode(), &space.getRoot());
    EXPECT_EQ(space.getCount(), 3);
    EXPECT_EQ(moving->getReferenceCount(), 2);
    EXPECT_TRUE(space.check());

    // A box the space would refuse is refused here, changing nothing.
    OrientedBox broken;
    broken.setAxis(1, Vec(0.0f, std::numeric_limits<float>::infinity(), 0.0f));
    EXPECT_FALSE(moving->setWorldBox(broken));
    EXPECT_EQ(moving->getWorldBox().getAxis(1), Vec(0.0f, 0.5f, 0.0f));
    EXPECT_EQ(moving->getWorldBounds().min, Vec(-50.5f, -0.5f, -0.5f));
    EXPECT_EQ(moving->getSlotIndex(), 0);
    EXPECT_TRUE(space.check());
}

TEST(PlaceableTest, ACopyStartsOutsideAnySpace) {
    LeafSpace space;
    LeafPointer original = makeLeaf(Vec(3.0f, -1.0f, 2.0f), 1.5f, space);
    LeafPointer copy = object::make<CountedLeaf>(*original);
    EXPECT_EQ(copy->getWorldBounds().min, original->getWorldBounds().min);
    EXPECT_EQ(copy->getSpace(), nullptr);
    EXPECT_EQ(copy->getSpaceNode(), nullptr);
    EXPECT_EQ(copy->getSlotIndex(), -1);
    EXPECT_EQ(copy->getReferenceCount(), 1);
    ASSERT_TRUE(space.insert(copy.get()));
    EXPECT_EQ(space.getCount(), 2);
    EXPECT_TRUE(space.check());
}

TEST(PlaceableTest, ALeafDestroyedInsideASpaceLeavesIt) {
    const int live = CountedLeaf::sLive;
    LeafSpace space;
    LeafPointer anchor = makeLeaf(Vec(), 10.0f, space);
    LeafPointer sibling = makeLeaf(Vec(6.0f, 6.0f, 6.0f), 1.0f, space);
    LeafPointer last;
    {
        // Held by value, so they die with the space's reference still on them.
        CountedLeaf inSlot(cubeAround(Vec(2.0f, 2.0f, 2.0f), 1.0f));
        CountedLeaf inList(cubeAround(Vec(), 11.0f));
        ASSERT_TRUE(space.insert(&inSlot));
        ASSERT_TRUE(space.insert(&inList));
        last = makeLeaf(Vec(), 12.0f, space);
        // The root's own list, front first: last, inList, anchor.
        ASSERT_EQ(inList.getNextInCell(), anchor.get());
    }
    EXPECT_EQ(space.getCount(), 3);
    // The cell collapsed as on a remove, and the list closed over the gap.
    EXPECT_EQ(sibling->getSpaceNode(), &space.getRoot());
    EXPECT_EQ(sibling->getSlotIndex(), 7);
    EXPECT_EQ(last->getNextInCell(), anchor.get());
    EXPECT_EQ(anchor->getPrevInCell(), last.get());
    EXPECT_TRUE(space.check());
    // No reference was dropped on their behalf.
    EXPECT_EQ(anchor->getReferenceCount(), 2);
    EXPECT_EQ(CountedLeaf::sLive, live + 3);
}

}  // namespace
}  // namespace nevrik::geometry
