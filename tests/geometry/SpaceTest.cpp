#include "nevrik/geometry/Space.h"

#include "CountedLeaf.h"
#include "FailingAllocator.h"

#include "nevrik/object/Pointer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <new>
#include <random>
#include <vector>

namespace nevrik::geometry {
namespace {

using test::CountedLeaf;
using test::cubeAround;
using test::LeafSpace;
using test::Vec;
using Cell = LeafSpace::Node;
using LeafPointer = object::Pointer<CountedLeaf>;
using Cells = std::map<const Cell*, Cube>;

// Runs `operation` with the next heap allocation failing; true when it threw.
template <class Operation>
bool failsWithoutMemory(Operation&& operation) {
    test::failNextAllocation(true);
    bool failed = false;
    try {
        operation();
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    test::failNextAllocation(false);
    return failed;
}

// A leaf owned by the returned pointer, put into `space` when one is given.
LeafPointer makeLeaf(const BoundingBox<float>& bounds, LeafSpace* space = nullptr) {
    LeafPointer leaf = object::make<CountedLeaf>(bounds);
    if (space != nullptr) {
        EXPECT_TRUE(space->insert(leaf.get()));
    }
    return leaf;
}
LeafPointer makeLeaf(const Vec& centre, float size, LeafSpace* space = nullptr) {
    return makeLeaf(cubeAround(centre, size), space);
}

// Checks a leaf from its own side: its cell holds it (an own list is walked
// at most count steps, so a loop ends), every cell from there up contains it
// in its loose bound and its bounds and sits in its parent's slot, and the
// space holds one reference on it.
::testing::AssertionResult soundlyPlaced(const LeafSpace& space, const CountedLeaf& leaf) {
    const Cell* cell = leaf.getSpaceNode();
    if (leaf.getSpace() != &space || cell == nullptr || leaf.getReferenceCount() != 2) {
        return ::testing::AssertionFailure() << "not in the space with one reference";
    }
    bool held = leaf.getSlotIndex() >= 0 && cell->getPlaceable(leaf.getSlotIndex()) == &leaf;
    const auto* listed = cell->getListHead();
    for (int steps = 0; listed != nullptr && steps < space.getCount() && leaf.getSlotIndex() < 0; ++steps) {
        held = held || listed == &leaf;
        listed = listed->getNextInCell();
    }
    if (!held) {
        return ::testing::AssertionFailure() << "its cell does not hold it";
    }
    const BoundingBox<float>& bounds = leaf.getWorldBounds();
    for (; cell != nullptr; cell = cell->getParent()) {
        const Cube& cube = cell->getCube();
        for (int axis = 0; axis < 3; ++axis) {
            if (bounds.min[axis] < cube.centre[axis] - cube.edge ||
                bounds.max[axis] > cube.centre[axis] + cube.edge) {
                return ::testing::AssertionFailure() << "outside a cell of edge " << cube.edge;
            }
            if (bounds.min[axis] < cell->getBounds().min[axis] ||
                bounds.max[axis] > cell->getBounds().max[axis]) {
                return ::testing::AssertionFailure() << "outside the bounds of a cell of edge " << cube.edge;
            }
        }
        if (cell->getParent() != nullptr && cell->getParent()->getCell(cell->getIndex()) != cell) {
            return ::testing::AssertionFailure() << "not in its parent's slot";
        }
    }
    return ::testing::AssertionSuccess();
}

// Every cell reachable from `cell`, itself included, with its cube.
void collect(const Cell& cell, Cells& cells) {
    cells[&cell] = cell.getCube();
    for (int slot = 0; slot < LeafSpace::kSlots; ++slot) {
        if (const Cell* child = cell.getCell(slot)) {
            collect(*child, cells);
        }
    }
}

// Whether the bounds of `cell` and of every cell below it are the exact box
// of what they hold, as they are while nothing has left; `box` receives the
// box of `cell`'s contents.
bool boundsAreExact(const Cell& cell, BoundingBox<float>& box) {
    constexpr float kHuge = std::numeric_limits<float>::infinity();
    box = BoundingBox<float>(Vec(kHuge, kHuge, kHuge), Vec(-kHuge, -kHuge, -kHuge));
    const auto add = [&box](const BoundingBox<float>& part) {
        for (int axis = 0; axis < 3; ++axis) {
            box.min[axis] = std::min(box.min[axis], part.min[axis]);
            box.max[axis] = std::max(box.max[axis], part.max[axis]);
        }
    };
    for (int slot = 0; slot < LeafSpace::kSlots; ++slot) {
        BoundingBox<float> part;
        if (const auto* placeable = cell.getPlaceable(slot)) {
            add(placeable->getWorldBounds());
        } else if (const Cell* child = cell.getCell(slot)) {
            if (!boundsAreExact(*child, part)) {
                return false;
            }
            add(part);
        }
    }
    for (const auto* placeable = cell.getListHead(); placeable != nullptr;
         placeable = placeable->getNextInCell()) {
        add(placeable->getWorldBounds());
    }
    return box.min == cell.getBounds().min && box.max == cell.getBounds().max;
}

int depthOf(const Cell* cell) {
    int depth = 0;
    while ((cell = cell->getParent()) != nullptr) {
        ++depth;
    }
    return depth;
}

// A space of root edge 16: its anchor, reaching 5, stays in the root's own list.
struct Space16 {
    LeafSpace space;
    LeafPointer anchor = makeLeaf(Vec(), 10.0f, &space);
    const Cell& root = space.getRoot();
};

TEST(SpaceTest, RootEdgeIsTheSmallestPowerOfTwoNotBelowTwiceTheReach) {
    LeafSpace space;
    EXPECT_EQ(space.className(), "Object:Space");
    // A point at the origin needs no edge: it waits in the root's own list.
    LeafPointer point = makeLeaf(Vec(), 0.0f, &space);
    EXPECT_EQ(space.getRoot().getCube().edge, 0.0f);
    EXPECT_EQ(space.getRoot().getListHead(), point.get());
    LeafPointer near = makeLeaf(BoundingBox<float>(Vec(0.1f, 0.1f, 0.1f), Vec(0.3f, 0.3f, 0.3f)), &space);
    EXPECT_EQ(space.getRoot().getCube().edge, 1.0f);
    EXPECT_EQ(near->getSlotIndex(), 7);
    LeafPointer far = makeLeaf(BoundingBox<float>(Vec(-3.0f, 0.0f, 0.0f), Vec(-5.0f, 1.0f, 1.0f)), &space);
    EXPECT_EQ(space.getRoot().getCube().edge, 16.0f);
    EXPECT_EQ(point->getSpaceNode(), &space.getRoot());
    EXPECT_TRUE(space.check());

    LeafSpace exact;
    LeafPointer four = makeLeaf(Vec(0.0f, 3.0f, 0.0f), 2.0f, &exact);
    EXPECT_EQ(exact.getRoot().getCube().edge, 8.0f);
}

TEST(SpaceTest, PlacementFollowsSizeAndTheLowerOctantOnCentrePlanes) {
    Space16 s;
    LeafPointer half = makeLeaf(Vec(4.0f, 4.0f, 4.0f), 8.0f, &s.space);
    LeafPointer under = makeLeaf(Vec(4.0f, 4.0f, 4.0f), 7.5f, &s.space);
    LeafPointer onPlane = makeLeaf(Vec(0.0f, 3.0f, -3.0f), 0.5f, &s.space);
    // New list entries go to the front.
    EXPECT_EQ(s.root.getListHead(), half.get());
    EXPECT_EQ(half->getNextInCell(), s.anchor.get());
    EXPECT_EQ(s.anchor->getPrevInCell(), half.get());
    EXPECT_EQ(half->getSlotIndex(), -1);
    EXPECT_EQ(s.root.getPlaceable(7), under.get());
    EXPECT_EQ(onPlane->getSlotIndex(), 2);
    EXPECT_EQ(s.root.getPlaceableMask(), 0x84u);
    EXPECT_EQ(s.root.getCell(8), nullptr);
    EXPECT_EQ(s.root.getPlaceable(-1), nullptr);
}

TEST(SpaceTest, SplitMovesTheOccupantIntoACellOfHalfTheEdgeOrItsList) {
    Space16 s;
    LeafPointer low = makeLeaf(Vec(2.0f, 2.0f, 2.0f), 1.0f, &s.space);
    LeafPointer high = makeLeaf(Vec(6.0f, 6.0f, 6.0f), 1.0f, &s.space);
    const Cell* cell = s.root.getCell(7);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(s.root.getPlaceableMask(), 0u);
    EXPECT_EQ(cell->getCube().edge, 8.0f);
    EXPECT_EQ(cell->getCube().centre, Vec(4.0f, 4.0f, 4.0f));
    EXPECT_EQ(cell->getPlaceable(0), low.get());
    EXPECT_EQ(cell->getPlaceable(7), high.get());
    EXPECT_EQ(cell->getPlaceableMask(), 0x81u);

    // Extent 5 takes a root slot (under half of 16), but no slot of a cell of
    // edge 8 has a loose bound around it: after the split it is in the cell's
    // own list, and the slot its centre names stays free for a leaf that fits.
    LeafPointer wide = makeLeaf(Vec(-4.0f, -4.0f, -4.0f), 5.0f, &s.space);
    ASSERT_EQ(wide->getSlotIndex(), 0);
    LeafPointer small = makeLeaf(Vec(-2.0f, -2.0f, -2.0f), 1.0f, &s.space);
    LeafPointer fits = makeLeaf(Vec(-5.0f, -5.0f, -5.0f), 1.0f, &s.space);
    const Cell* lower = s.root.getCell(0);
    ASSERT_NE(lower, nullptr);
    EXPECT_EQ(lower->getListHead(), wide.get());
    EXPECT_EQ(lower->getPlaceable(7), small.get());
    EXPECT_EQ(lower->getPlaceable(0), fits.get());
    EXPECT_TRUE(soundlyPlaced(s.space, *wide));
    EXPECT_TRUE(s.space.check());
}

TEST(SpaceTest, RemovingCollapsesOneLevelAndGivesCellsBackToThePool) {
    Space16 s;
    // Both fall in root slot 7, then in cells of edge 8 and 4 in slot 7 and
    // slot 0, and part in the cell of edge 2 below.
    LeafPointer a = makeLeaf(Vec(5.0f, 5.0f, 5.0f), 0.5f);
    LeafPointer b = makeLeaf(Vec(5.5f, 5.5f, 5.5f), 0.5f);
    for (int round = 0; round < 100; ++round) {
        ASSERT_TRUE(s.space.insert(a.get()));
        ASSERT_TRUE(s.space.insert(b.get()));
        const Cell* middle = a->getSpaceNode()->getParent();
        ASSERT_EQ(a->getSpaceNode()->getCube().edge, 2.0f);
        // One of two slot leaves goes: the other is handed up one level only.
        ASSERT_TRUE(s.space.remove(a.get()));
        ASSERT_EQ(middle->getPlaceable(0), b.get());
        ASSERT_EQ(b->getSpaceNode(), middle);
        ASSERT_EQ(a->getSpace(), nullptr);
        ASSERT_EQ(a->getSpaceNode(), nullptr);
        // The last leaf goes: its cell leaves the parent's slot, which stays.
        ASSERT_TRUE(s.space.remove(b.get()));
        ASSERT_NE(s.root.getCell(7), nullptr);
        ASSERT_EQ(s.root.getCell(7)->getCell(0), nullptr);
        ASSERT_TRUE(s.space.check());
    }
    // Two cells made and given back per round: the first block serves all.
    EXPECT_EQ(s.space.getCells().getTotalSlots(), 64);

    // A cell with a leaf in its own list stays when its slots empty.
    LeafPointer listed = makeLeaf(Vec(4.0f, 4.0f, 4.0f), 4.5f, &s.space);
    ASSERT_TRUE(s.space.insert(a.get()));
    ASSERT_TRUE(s.space.remove(a.get()));
    EXPECT_EQ(s.root.getCell(7)->getListHead(), listed.get());
    ASSERT_TRUE(s.space.remove(listed.get()));
    EXPECT_EQ(s.root.getCell(7), nullptr);
    EXPECT_EQ(s.space.getCount(), 1);
    EXPECT_TRUE(s.space.check());
}

TEST(SpaceTest, GrowingKeepsCellsInPlaceAndRootSlotLeavesWhereTheyAre) {
    Space16 s;
    std::vector<LeafPointer> leaves;
    // Cells in root slots 7 and 0, and one below the latter.
    for (const Vec& centre : {Vec(2.0f, 2.0f, 2.0f), Vec(6.0f, 6.0f, 6.0f), Vec(-2.0f, -2.0f, -2.0f),
                              Vec(-6.0f, -6.0f, -5.0f), Vec(-5.0f, -5.0f, -7.0f)}) {
        leaves.push_back(makeLeaf(centre, 1.0f, &s.space));
    }
    LeafPointer alone = makeLeaf(Vec(-4.0f, 4.0f, -4.0f), 1.0f, &s.space);
    ASSERT_EQ(alone->getSlotIndex(), 2);
    Cells before;
    collect(s.root, before);
    ASSERT_EQ(before.size(), 4u);
    std::map<const Cell*, int> depths;
    for (const auto& entry : before) {
        depths[entry.first] = depthOf(entry.first);
    }

    // Reach 100: four doublings, from 16 to 256.
    LeafPointer far = makeLeaf(Vec(99.0f, 0.0f, 0.0f), 2.0f, &s.space);
    EXPECT_EQ(s.root.getCube().edge, 256.0f);
    Cells after;
    collect(s.root, after);
    for (const auto& [cell, cube] : before) {
        if (cell != &s.root) {
            ASSERT_EQ(after.count(cell), 1u);
            EXPECT_EQ(after[cell].centre, cube.centre);
            EXPECT_EQ(after[cell].edge, cube.edge);
            EXPECT_EQ(depthOf(cell), depths[cell] + 4);
        }
    }
    EXPECT_EQ(alone->getSpaceNode(), &s.root);
    EXPECT_EQ(alone->getSlotIndex(), 2);
    for (const LeafPointer& leaf : leaves) {
        EXPECT_TRUE(soundlyPlaced(s.space, *leaf));
    }
    EXPECT_TRUE(s.space.check());
}

TEST(SpaceTest, RefusesNullRepeatedAndUnplaceableLeaves) {
    Space16 s;
    LeafSpace other;
    EXPECT_FALSE(s.space.insert(nullptr));
    EXPECT_FALSE(s.space.remove(nullptr));
    EXPECT_FALSE(s.space.insert(s.anchor.get()));
    EXPECT_FALSE(other.insert(s.anchor.get()));
    EXPECT_FALSE(other.remove(s.anchor.get()));
    EXPECT_TRUE(soundlyPlaced(s.space, *s.anchor));

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float beyond = LeafSpace::kMaxEdge / 1.5f;  // twice this reach is above the largest edge
    for (const Vec& corner :
         {Vec(nan, 0.0f, 0.0f), Vec(0.0f, inf, 0.0f), Vec(0.0f, 0.0f, -inf), Vec(beyond, 0.0f, 0.0f)}) {
        LeafPointer bad = makeLeaf(BoundingBox<float>(Vec(), corner));
        EXPECT_FALSE(s.space.insert(bad.get()));
        EXPECT_EQ(bad->getReferenceCount(), 1);
        EXPECT_EQ(bad->getSpace(), nullptr);
    }
    EXPECT_EQ(s.root.getCube().edge, 16.0f);
    EXPECT_EQ(s.space.getCount(), 1);

    // The largest reach the root can take is still placed.
    LeafPointer edge = makeLeaf(Vec(LeafSpace::kMaxEdge / 2.0f, 0.0f, 0.0f), 1.0f, &s.space);
    EXPECT_EQ(s.root.getCube().edge, LeafSpace::kMaxEdge);
    EXPECT_TRUE(soundlyPlaced(s.space, *edge));
    EXPECT_TRUE(s.space.check());
}

TEST(SpaceTest, RunningOutOfCellsLeavesTheTreeSound) {
    Space16 s;
    auto liveCells = [&] {
        Cells cells;
        collect(s.root, cells);
        return static_cast<std::int64_t>(cells.size()) - 1;
    };
    // Small leaves until every pooled cell is in use, so the next cell needs
    // a new block from the heap.
    std::mt19937 random(3);
    std::uniform_real_distribution<float> coordinate(-7.0f, 7.0f);
    std::vector<LeafPointer> leaves;
    while (leaves.size() < 1000 && (liveCells() == 0 || liveCells() != s.space.getCells().getTotalSlots())) {
        leaves.push_back(
            makeLeaf(Vec(coordinate(random), coordinate(random), coordinate(random)), 0.25f, &s.space));
    }
    ASSERT_EQ(liveCells(), s.space.getCells().getTotalSlots());
    // A leaf whose cell holds just one other slot leaf: removing it frees the
    // cell, and a leaf with its box then needs exactly one new cell.
    CountedLeaf* held = nullptr;
    for (const LeafPointer& leaf : leaves) {
        const Cell* cell = leaf->getSpaceNode();
        int slots = 0;  // a child cell counts 3, so 2 means two slot leaves and nothing else
        for (int slot = 0; slot < LeafSpace::kSlots; ++slot) {
            slots += cell->getPlaceable(slot) != nullptr ? 1 : cell->getCell(slot) != nullptr ? 3 : 0;
        }
        if (leaf->getSlotIndex() >= 0 && cell != &s.root && cell->getListHead() == nullptr && slots == 2) {
            held = leaf.get();
        }
    }
    ASSERT_NE(held, nullptr);
    const std::int32_t count = s.space.getCount();

    // A split that finds no cell leaves the new leaf out.
    LeafPointer twin = makeLeaf(held->getWorldBounds());
    EXPECT_TRUE(failsWithoutMemory([&] { s.space.insert(twin.get()); }));
    EXPECT_EQ(twin->getSpace(), nullptr);
    EXPECT_EQ(twin->getReferenceCount(), 1);
    EXPECT_EQ(s.space.getCount(), count);
    EXPECT_TRUE(s.space.check());

    // A move that finds no cell parks the leaf, old box and all, in the root's own list.
    EXPECT_TRUE(failsWithoutMemory([&] { s.anchor->setWorldBox(OrientedBox(held->getWorldBounds())); }));
    EXPECT_EQ(s.anchor->getWorldBounds().max, Vec(5.0f, 5.0f, 5.0f));
    EXPECT_EQ(s.anchor->getSpaceNode(), &s.root);
    EXPECT_TRUE(soundlyPlaced(s.space, *s.anchor));
    EXPECT_EQ(s.space.getCount(), count);
    EXPECT_TRUE(s.space.check());

    // With one cell free and at least two root cells to wrap, growing takes
    // the free cell, fails on the next and gives the first back.
    ASSERT_TRUE(s.space.remove(held));
    int rootCells = 0;
    for (int slot = 0; slot < LeafSpace::kSlots; ++slot) {
        rootCells += s.root.getCell(slot) != nullptr ? 1 : 0;
    }
    ASSERT_GE(rootCells, 2);
    const std::int64_t cells = liveCells();
    LeafPointer far = makeLeaf(Vec(0.0f, 0.0f, 30.0f), 1.0f);
    EXPECT_TRUE(failsWithoutMemory([&] { s.space.insert(far.get()); }));
    EXPECT_EQ(liveCells(), cells);
    EXPECT_EQ(s.root.getCube().edge, 16.0f);
    EXPECT_EQ(far->getSpace(), nullptr);
    EXPECT_TRUE(s.space.check());
    // The given-back cell serves the next split without the heap.
    EXPECT_FALSE(failsWithoutMemory([&] { EXPECT_TRUE(s.space.insert(twin.get())); }));
    EXPECT_TRUE(s.space.check());
}

TEST(SpaceTest, ReferencesComeBackOnRemoveAndWhenTheSpaceDies) {
    const int live = CountedLeaf::sLive;
    LeafPointer kept;
    {
        LeafSpace space;
        auto* owned = new CountedLeaf(cubeAround(Vec(1.0f, 1.0f, 1.0f), 1.0f));
        ASSERT_TRUE(space.insert(owned));
        owned->release();  // the space holds the only reference now
        ASSERT_TRUE(space.remove(owned));
        EXPECT_EQ(CountedLeaf::sLive, live);
        // Leaves in slots, cells and own lists, held by the space alone.
        for (int i = 0; i < 50; ++i) {
            const float f = static_cast<float>(i);
            auto* leaf = new CountedLeaf(
                cubeAround(Vec(f * 0.37f - 9.0f, f * 0.11f, -f * 0.23f), static_cast<float>(i % 7) * 0.6f));
            ASSERT_TRUE(space.insert(leaf));
            leaf->release();
        }
        kept = makeLeaf(Vec(-2.0f, 2.0f, 1.0f), 0.2f, &space);
        EXPECT_EQ(CountedLeaf::sLive, live + 51);
    }
    EXPECT_EQ(CountedLeaf::sLive, live + 1);
    EXPECT_EQ(kept->getReferenceCount(), 1);
    EXPECT_EQ(kept->getSpace(), nullptr);
    EXPECT_EQ(kept->getSpaceNode(), nullptr);
    EXPECT_EQ(kept->getNextInCell(), nullptr);
}

TEST(SpaceTest, CoincidentPointsEndTheDescentSoundly) {
    // Zero-size boxes at one point split until the cell edge reaches zero, or
    // until the cell centres run out of float precision: there the rounded
    // cells stop containing the point and the containment check ends it.
    for (const Vec& point : {Vec(1.0f, -1.0f, 0.5f), Vec(0.1f, 0.2f, 0.3f), Vec(3.0e6f, 3.0e6f, -3.0e6f)}) {
        LeafSpace space;
        LeafPointer first = makeLeaf(point, 0.0f, &space);
        LeafPointer second = makeLeaf(point, 0.0f, &space);
        EXPECT_TRUE(space.check());
        EXPECT_TRUE(soundlyPlaced(space, *first));
        EXPECT_TRUE(soundlyPlaced(space, *second));
    }
}

// Boxes over a wide range of sizes; a quarter snapped onto cell centre
// planes with power-of-two sizes, a third turned about z.
OrientedBox randomBox(std::mt19937& random) {
    std::uniform_real_distribution<float> coordinate(-1000.0f, 1000.0f);
    std::uniform_real_distribution<float> exponent(-6.0f, 8.0f);
    const int kind = std::uniform_int_distribution<int>(0, 11)(random);
    Vec centre(coordinate(random), coordinate(random), coordinate(random));
    Vec half(std::exp2(exponent(random)), std::exp2(exponent(random)), std::exp2(exponent(random)));
    for (int axis = 0; axis < 3 && kind < 3; ++axis) {
        centre[axis] = std::round(centre[axis] / 16.0f) * 16.0f;
        half[axis] = std::exp2(std::round(std::log2(half[axis])));
    }
    OrientedBox box(BoundingBox<float>(centre - half, centre + half));
    if (kind >= 8) {
        const float angle = coordinate(random) * 0.01f;
        box.setAxis(0, Vec(std::cos(angle), std::sin(angle), 0.0f) * half.x);
        box.setAxis(1, Vec(-std::sin(angle), std::cos(angle), 0.0f) * half.y);
    }
    return box;
}

TEST(SpaceTest, RandomInsertsMovesAndRemovesKeepTheTreeSound) {
    constexpr int kLeaves = 10000;
    const int live = CountedLeaf::sLive;
    std::mt19937 random(20240611);
    LeafSpace space;
    std::vector<LeafPointer> leaves;
    std::vector<bool> placed(kLeaves, false);
    int count = 0;
    int steps = 0;
    // After every step the touched leaf, its cells and the count; the whole
    // tree every 1000 steps and at the end (a full walk per step would take
    // minutes).
    auto step = [&](int index, bool inSpace, auto&& change) {
        change(*leaves[index]);
        count += static_cast<int>(inSpace) - static_cast<int>(placed[index]);
        placed[index] = inSpace;
        ASSERT_EQ(space.getCount(), count);
        if (inSpace) {
            ASSERT_TRUE(soundlyPlaced(space, *leaves[index]));
        } else {
            ASSERT_EQ(leaves[index]->getSpace(), nullptr);
            ASSERT_EQ(leaves[index]->getReferenceCount(), 1);
        }
        ASSERT_TRUE(++steps % 1000 != 0 || space.check());
    };
    auto insert = [&](CountedLeaf& leaf) { ASSERT_TRUE(space.insert(&leaf)); };
    auto remove = [&](CountedLeaf& leaf) { ASSERT_TRUE(space.remove(&leaf)); };
    for (int i = 0; i < kLeaves; ++i) {
        leaves.push_back(makeLeaf(BoundingBox<float>()));
        leaves.back()->setWorldBox(randomBox(random));
        step(i, true, insert);
    }
    // Cells only grow their bounds on the way down: until something leaves,
    // through splits and root growth, they stay exact.
    BoundingBox<float> all;
    ASSERT_TRUE(boundsAreExact(space.getRoot(), all));
    for (int move = 0; move < kLeaves; ++move) {
        const int index = std::uniform_int_distribution<int>(0, kLeaves - 1)(random);
        const OrientedBox box = randomBox(random);
        if (!placed[index]) {
            step(index, true, insert);
        } else if (move % 3 == 0) {
            step(index, true, [&](CountedLeaf& leaf) { ASSERT_TRUE(leaf.setWorldBox(box)); });
        } else if (move % 3 == 1) {
            step(index, true, [&](CountedLeaf& leaf) {
                remove(leaf);
                leaf.setWorldBox(box);
                insert(leaf);
            });
        } else {
            step(index, false, remove);
        }
    }
    ASSERT_TRUE(space.check());
    for (int i = 0; i < kLeaves; ++i) {
        if (placed[i]) {
            step(i, false, remove);
        }
    }
    EXPECT_TRUE(space.check());
    EXPECT_EQ(space.getRoot().getListHead(), nullptr);
    EXPECT_EQ(space.getRoot().getPlaceableMask(), 0u);
    leaves.clear();
    EXPECT_EQ(CountedLeaf::sLive, live);
}

TEST(SpaceTest, MovesAllocateNoCellsOnceWarm) {
    constexpr int kLeaves = 10000;
    std::mt19937 random(7);
    LeafSpace space;
    std::vector<LeafPointer> leaves;
    std::vector<OrientedBox> homes;
    for (int i = 0; i < kLeaves; ++i) {
        homes.push_back(randomBox(random));
        leaves.push_back(makeLeaf(homes.back().toBoundingBox(), &space));
    }
    // Every leaf wanders around its home, one remove and insert per move.
    std::uniform_real_distribution<float> jitter(-3.0f, 3.0f);
    std::int64_t slots = 0;
    for (int round = 0; round < 8; ++round) {
        if (round == 3) {
            slots = space.getCells().getTotalSlots();
        }
        for (int i = 0; i < kLeaves; ++i) {
            OrientedBox box = homes[i];
            box.setCentre(box.getCentre() + Vec(jitter(random), jitter(random), jitter(random)));
            ASSERT_TRUE(space.remove(leaves[i].get()));
            leaves[i]->setWorldBox(box);
            ASSERT_TRUE(space.insert(leaves[i].get()));
        }
    }
    EXPECT_EQ(space.getCells().getTotalSlots(), slots);
    EXPECT_TRUE(space.check());
}

}  // namespace
}  // namespace nevrik::geometry
