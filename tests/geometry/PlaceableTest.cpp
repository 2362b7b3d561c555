#include "nevrik/geometry/Placeable.h"

#include "CountedLeaf.h"

#include "nevrik/object/Pointer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace nevrik::geometry {
namespace {

using test::CountedLeaf;
using test::cubeAround;
using test::LeafSpace;
using test::Vec;
using LeafPointer = object::Pointer<CountedLeaf>;

LeafPointer makeLeaf(const Vec& centre, float size) {
    return LeafPointer::adopt(new CountedLeaf(cubeAround(centre, size)));
}

TEST(PlaceableTest, WorldBoundsFollowTheWorldBox) {
    struct Plain final : object::Object, Placeable<float, 3, Plain> {
        const object::Object& getPlaceableObject() const noexcept override { return *this; }
    } plain;
    // The default box, the cube of edge 2, already has its bounds.
    EXPECT_EQ(plain.getWorldBounds().min, Vec(-1.0f, -1.0f, -1.0f));
    EXPECT_EQ(plain.getWorldBounds().max, Vec(1.0f, 1.0f, 1.0f));
    EXPECT_EQ(plain.getSlotIndex(), -1);
    EXPECT_EQ(plain.getSpace(), nullptr);

    // Turned 30 degrees about z: x reaches |cos|·1 + |sin|·2, y |sin|·1 + |cos|·2.
    const float c = std::cos(0.5235988f);
    const float s = std::sin(0.5235988f);
    OrientedBox box;
    box.setCentre(Vec(10.0f, 0.0f, -4.0f));
    box.setAxis(0, Vec(c, s, 0.0f));
    box.setAxis(1, Vec(-2.0f * s, 2.0f * c, 0.0f));
    box.setAxis(2, Vec(0.0f, 0.0f, 3.0f));
    ASSERT_TRUE(plain.setWorldBox(box));
    EXPECT_EQ(plain.getWorldBox().getCentre(), box.getCentre());
    EXPECT_FLOAT_EQ(plain.getWorldBounds().max.x, 10.0f + c + 2.0f * s);
    EXPECT_FLOAT_EQ(plain.getWorldBounds().min.y, -(s + 2.0f * c));
    EXPECT_FLOAT_EQ(plain.getWorldBounds().min.z, -7.0f);

    // Outside a space any box is taken; the space refuses it on insert.
    OrientedBox broken;
    broken.setCentre(Vec(std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f));
    EXPECT_TRUE(plain.setWorldBox(broken));
    EXPECT_TRUE(std::isnan(plain.getWorldBounds().min.x));
    Space<float, 3, Plain> space;
    EXPECT_FALSE(space.insert(&plain));
}

TEST(PlaceableTest, SettingTheBoxInsideASpaceMovesTheLeaf) {
    LeafSpace space;
    LeafPointer anchor = makeLeaf(Vec(), 10.0f);
    LeafPointer moving = makeLeaf(Vec(2.0f, 2.0f, 2.0f), 1.0f);
    LeafPointer sibling = makeLeaf(Vec(6.0f, 6.0f, 6.0f), 1.0f);
    for (const LeafPointer& leaf : {anchor, moving, sibling}) {
        ASSERT_TRUE(space.insert(leaf.get()));
    }
    ASSERT_EQ(moving->getSpaceNode(), sibling->getSpaceNode());

    // Far out: the root grows to 128, the cell left behind collapses.
    ASSERT_TRUE(moving->setWorldBox(OrientedBox(cubeAround(Vec(-50.0f, 0.0f, 0.0f), 1.0f))));
    EXPECT_EQ(space.getRoot().getCube().edge, 128.0f);
    EXPECT_EQ(moving->getSpaceNode(), &space.getRoot());
    EXPECT_EQ(moving->getSlotIndex(), 0);
    EXPECT_EQ(sibling->getSpaceNode(), &space.getRoot());
    EXPECT_EQ(sibling->getSlotIndex(), 7);
    EXPECT_EQ(space.getCount(), 3);
    EXPECT_EQ(moving->getReferenceCount(), 2);
    EXPECT_TRUE(space.check());

    // A box the space would refuse is refused here, changing nothing.
    const BoundingBox<float> before = moving->getWorldBounds();
    OrientedBox broken;
    broken.setAxis(1, Vec(0.0f, std::numeric_limits<float>::infinity(), 0.0f));
    EXPECT_FALSE(moving->setWorldBox(broken));
    EXPECT_EQ(moving->getWorldBounds().min, before.min);
    EXPECT_EQ(moving->getWorldBox().getAxis(1), Vec(0.0f, 0.5f, 0.0f));
    EXPECT_EQ(moving->getSlotIndex(), 0);
    EXPECT_EQ(space.getCount(), 3);
    EXPECT_TRUE(space.check());
}

TEST(PlaceableTest, ACopyStartsOutsideAnySpace) {
    LeafSpace space;
    LeafPointer original = makeLeaf(Vec(3.0f, -1.0f, 2.0f), 1.5f);
    ASSERT_TRUE(space.insert(original.get()));
    LeafPointer copy = LeafPointer::adopt(new CountedLeaf(*original));
    EXPECT_EQ(copy->getWorldBounds().min, original->getWorldBounds().min);
    EXPECT_EQ(copy->getWorldBox().getCentre(), original->getWorldBox().getCentre());
    EXPECT_EQ(copy->getSpace(), nullptr);
    EXPECT_EQ(copy->getSpaceNode(), nullptr);
    EXPECT_EQ(copy->getSlotIndex(), -1);
    EXPECT_EQ(copy->getReferenceCount(), 1);
    EXPECT_EQ(space.getCount(), 1);
    // Both can be in the space at once, side by side.
    ASSERT_TRUE(space.insert(copy.get()));
    EXPECT_EQ(space.getCount(), 2);
    EXPECT_TRUE(space.check());
}

TEST(PlaceableTest, ALeafDestroyedInsideASpaceLeavesIt) {
    const int live = CountedLeaf::sLive;
    LeafSpace space;
    LeafPointer anchor = makeLeaf(Vec(), 10.0f);
    LeafPointer sibling = makeLeaf(Vec(6.0f, 6.0f, 6.0f), 1.0f);
    LeafPointer last = makeLeaf(Vec(), 12.0f);
    ASSERT_TRUE(space.insert(anchor.get()));
    ASSERT_TRUE(space.insert(sibling.get()));
    {
        // Held by value, so it dies with the space's reference still on it.
        CountedLeaf inSlot(cubeAround(Vec(2.0f, 2.0f, 2.0f), 1.0f));
        CountedLeaf inList(cubeAround(Vec(), 11.0f));
        ASSERT_TRUE(space.insert(&inSlot));
        ASSERT_TRUE(space.insert(&inList));
        ASSERT_TRUE(space.insert(last.get()));
        // Root list, front first: last, inList, anchor.
        ASSERT_EQ(inList.getNextInCell(), anchor.get());
        EXPECT_EQ(space.getCount(), 5);
    }
    EXPECT_EQ(space.getCount(), 3);
    // Its cell collapsed as on a remove; the list closed over the gap.
    EXPECT_EQ(sibling->getSpaceNode(), &space.getRoot());
    EXPECT_EQ(sibling->getSlotIndex(), 7);
    EXPECT_EQ(last->getNextInCell(), anchor.get());
    EXPECT_EQ(anchor->getPrevInCell(), last.get());
    EXPECT_TRUE(space.check());
    // The references the space took on them were never dropped, so none of
    // the survivors lost one.
    EXPECT_EQ(anchor->getReferenceCount(), 2);
    EXPECT_EQ(CountedLeaf::sLive, live + 3);
}

}  // namespace
}  // namespace nevrik::geometry
