#include "nevrik/geometry/Space.h"

#include "CountedLeaf.h"

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

// Out-of-memory injection for the cell pool: while armed, the next operator
// new of this test program throws std::bad_alloc, once. The replacement
// covers the whole program; unarmed it is plain malloc and free.
namespace {
std::atomic<bool> gFailNextAllocation{false};
}  // namespace

void* operator new(std::size_t size) {
    if (gFailNextAllocation.exchange(false)) {
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace nevrik::geometry {
namespace {

// Runs `operation` with the next heap allocation failing; true when it threw
// std::bad_alloc.
template <class Operation>
bool failsWithoutMemory(Operation&& operation) {
    gFailNextAllocation = true;
    bool failed = false;
    try {
        operation();
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    gFailNextAllocation = false;
    return failed;
}

using test::CountedLeaf;
using test::cubeAround;
using test::LeafSpace;
using test::Vec;
using Cell = LeafSpace::Node;
using LeafPointer = object::Pointer<CountedLeaf>;

// A leaf owned only by the returned pointer, already in `space` when given.
LeafPointer makeLeaf(const BoundingBox<float>& bounds, LeafSpace* space = nullptr) {
    LeafPointer leaf = LeafPointer::adopt(new CountedLeaf(bounds));
    if (space != nullptr) {
        EXPECT_TRUE(space->insert(leaf.get()));
    }
    return leaf;
}

bool looselyInside(const Cube& cube, const BoundingBox<float>& bounds) {
    for (int axis = 0; axis < 3; ++axis) {
        if (bounds.min[axis] < cube.centre[axis] - cube.edge ||
            bounds.max[axis] > cube.centre[axis] + cube.edge) {
            return false;
        }
    }
    return true;
}

// Calls `visit` on each leaf of the own list of `cell`; false when the list
// runs longer than the space's count, so that one looping back still ends.
template <class Visit>
bool forOwnList(const LeafSpace& space, const Cell& cell, Visit&& visit) {
    int seen = 0;
    for (const auto* p = cell.getListHead(); p != nullptr; p = p->getNextInCell()) {
        if (++seen > space.getCount()) {
            return false;
        }
        visit(static_cast<const CountedLeaf&>(*p));
    }
    return true;
}

// Checks one leaf from its own side: its cell really holds it, every cell from
// there to the root contains it in its loose bound and is linked to its
// parent through the slot it names, and the space holds exactly one reference.
::testing::AssertionResult soundlyPlaced(const LeafSpace& space, const CountedLeaf& leaf) {
    const Cell* cell = leaf.getSpaceNode();
    if (leaf.getSpace() != &space || cell == nullptr) {
        return ::testing::AssertionFailure() << "not in the space";
    }
    if (leaf.getReferenceCount() != 2) {
        return ::testing::AssertionFailure() << "reference count " << leaf.getReferenceCount();
    }
    bool held = leaf.getSlotIndex() >= 0 && cell->getPlaceable(leaf.getSlotIndex()) == &leaf;
    if (leaf.getSlotIndex() < 0) {
        forOwnList(space, *cell, [&](const CountedLeaf& listed) { held = held || &listed == &leaf; });
    }
    if (!held) {
        return ::testing::AssertionFailure() << "its cell does not hold it";
    }
    for (; cell != nullptr; cell = cell->getParent()) {
        if (!looselyInside(cell->getCube(), leaf.getWorldBounds())) {
            return ::testing::AssertionFailure() << "outside a cell of edge " << cell->getCube().edge;
        }
        if (cell->getParent() != nullptr && cell->getParent()->getCell(cell->getIndex()) != cell) {
            return ::testing::AssertionFailure() << "parent does not hold the cell at its index";
        }
    }
    if (leaf.getSpaceNode()->getCube().edge > space.getRoot().getCube().edge) {
        return ::testing::AssertionFailure() << "cell larger than the root";
    }
    return ::testing::AssertionSuccess();
}

// Checks every cell from `cell` up to the root, which are the only ones an
// insert or remove below `cell` can change: their child cells name them as
// parent, and every placeable they hold directly is soundly placed.
::testing::AssertionResult soundAround(const LeafSpace& space, const Cell* cell) {
    for (; cell != nullptr; cell = cell->getParent()) {
        for (int slot = 0; slot < LeafSpace::kSlots; ++slot) {
            const Cell* child = cell->getCell(slot);
            if (child != nullptr && (child->getParent() != cell || child->getIndex() != slot)) {
                return ::testing::AssertionFailure() << "child cell not linked back";
            }
            if (const auto* placeable = cell->getPlaceable(slot)) {
                const auto result = soundlyPlaced(space, static_cast<const CountedLeaf&>(*placeable));
                if (!result) {
                    return result;
                }
            }
        }
        ::testing::AssertionResult result = ::testing::AssertionSuccess();
        if (!forOwnList(space, *cell, [&](const CountedLeaf& leaf) {
                if (result) {
                    result = soundlyPlaced(space, leaf);
                }
            })) {
            return ::testing::AssertionFailure() << "own list loops";
        }
        if (!result) {
            return result;
        }
    }
    return ::testing::AssertionSuccess();
}

// Every cell reachable from `cell` (itself included) with its cube and depth.
void collectCells(const Cell& cell, int depth, std::map<const Cell*, std::pair<Cube, int>>& cells) {
    cells[&cell] = {cell.getCube(), depth};
    for (int slot = 0; slot < LeafSpace::kSlots; ++slot) {
        if (const Cell* child = cell.getCell(slot)) {
            collectCells(*child, depth + 1, cells);
        }
    }
}

// A space of root edge 16, made by a leaf reaching 5 that stays in the root's
// own list.
struct Space16 {
    Space16() { anchor = makeLeaf(cubeAround(Vec(), 10.0f), &space); }
    LeafSpace space;
    LeafPointer anchor;
};

TEST(SpaceTest, RootEdgeIsTheSmallestPowerOfTwoNotBelowTwiceTheReach) {
    LeafSpace space;
    EXPECT_EQ(space.className(), "Object:Space");
    EXPECT_EQ(space.getRoot().getCube().edge, 0.0f);
    // A point at the origin needs no edge: it waits in the root's own list.
    LeafPointer point = makeLeaf(cubeAround(Vec(), 0.0f), &space);
    EXPECT_EQ(space.getRoot().getCube().edge, 0.0f);
    EXPECT_EQ(space.getRoot().getListHead(), point.get());

    LeafPointer near = makeLeaf(BoundingBox<float>(Vec(0.1f, 0.1f, 0.1f), Vec(0.3f, 0.3f, 0.3f)), &space);
    EXPECT_EQ(space.getRoot().getCube().edge, 1.0f);
    EXPECT_EQ(point->getSpaceNode(), &space.getRoot());
    EXPECT_EQ(near->getSlotIndex(), 7);

    LeafPointer far = makeLeaf(BoundingBox<float>(Vec(-3.0f, 0.0f, 0.0f), Vec(-5.0f, 1.0f, 1.0f)), &space);
    EXPECT_EQ(space.getRoot().getCube().edge, 16.0f);
    EXPECT_EQ(space.getRoot().getCube().centre, Vec());

    LeafSpace exact;
    LeafPointer four = makeLeaf(cubeAround(Vec(0.0f, 3.0f, 0.0f), 2.0f), &exact);
    EXPECT_EQ(exact.getRoot().getCube().edge, 8.0f);
    EXPECT_EQ(space.getCount(), 3);
    EXPECT_TRUE(space.check());
    EXPECT_TRUE(exact.check());
}

TEST(SpaceTest, LeafOfHalfTheRootEdgeStaysInTheRootList) {
    Space16 s;
    LeafPointer half = makeLeaf(cubeAround(Vec(4.0f, 4.0f, 4.0f), 8.0f), &s.space);
    LeafPointer under = makeLeaf(cubeAround(Vec(4.0f, 4.0f, 4.0f), 7.5f), &s.space);
    const Cell& root = s.space.getRoot();
    EXPECT_EQ(half->getSpaceNode(), &root);
    EXPECT_EQ(half->getSlotIndex(), -1);
    // New entries go to the front of the list.
    EXPECT_EQ(root.getListHead(), half.get());
    EXPECT_EQ(half->getNextInCell(), s.anchor.get());
    EXPECT_EQ(s.anchor->getPrevInCell(), half.get());
    EXPECT_EQ(root.getPlaceable(7), under.get());
    EXPECT_EQ(root.getPlaceableMask(), 0x80u);
    EXPECT_TRUE(s.space.check());
}

TEST(SpaceTest, TwoSmallLeavesInOneOctantSplitIntoACellOfHalfTheEdge) {
    Space16 s;
    LeafPointer low = makeLeaf(cubeAround(Vec(2.0f, 2.0f, 2.0f), 1.0f), &s.space);
    LeafPointer high = makeLeaf(cubeAround(Vec(6.0f, 6.0f, 6.0f), 1.0f), &s.space);
    const Cell& root = s.space.getRoot();
    const Cell* cell = root.getCell(7);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(root.getPlaceableMask(), 0u);
    EXPECT_EQ(root.getPlaceable(7), nullptr);
    EXPECT_EQ(cell->getParent(), &root);
    EXPECT_EQ(cell->getIndex(), 7);
    EXPECT_EQ(cell->getCube().edge, 8.0f);
    EXPECT_EQ(cell->getCube().centre, Vec(4.0f, 4.0f, 4.0f));
    EXPECT_EQ(cell->getPlaceable(0), low.get());
    EXPECT_EQ(cell->getPlaceable(7), high.get());
    EXPECT_EQ(cell->getPlaceableMask(), 0x81u);
    EXPECT_EQ(s.space.getCells().getTotalSlots(), 64);
    // Out-of-range slots read as empty.
    EXPECT_EQ(cell->getCell(8), nullptr);
    EXPECT_EQ(cell->getPlaceable(-1), nullptr);
    EXPECT_TRUE(s.space.check());
}

TEST(SpaceTest, SplitKeepsALeafTooLargeForTheDeeperCellInItsOwnList) {
    Space16 s;
    // Extent 5: under half the root edge, so it takes a root slot; but a split
    // cell of edge 8 could hold it in no slot of its own, since the loose
    // bound of any of those would not contain it.
    LeafPointer wide = makeLeaf(cubeAround(Vec(4.0f, 4.0f, 4.0f), 5.0f), &s.space);
    ASSERT_EQ(wide->getSlotIndex(), 7);
    LeafPointer small = makeLeaf(cubeAround(Vec(6.0f, 6.0f, 6.0f), 1.0f), &s.space);
    const Cell* cell = s.space.getRoot().getCell(7);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(wide->getSpaceNode(), cell);
    EXPECT_EQ(wide->getSlotIndex(), -1);
    EXPECT_EQ(small->getSlotIndex(), 7);
    // The slot the wide leaf's centre names stays free for a leaf that fits it.
    LeafPointer fits = makeLeaf(cubeAround(Vec(3.0f, 3.0f, 3.0f), 1.0f), &s.space);
    EXPECT_EQ(cell->getPlaceable(0), fits.get());
    for (const CountedLeaf* leaf : {wide.get(), small.get(), fits.get()}) {
        EXPECT_TRUE(soundlyPlaced(s.space, *leaf));
    }
    EXPECT_TRUE(s.space.check());
}

TEST(SpaceTest, RemovingCollapsesTheCellOneLevel) {
    Space16 s;
    const Cell& root = s.space.getRoot();
    LeafPointer low = makeLeaf(cubeAround(Vec(2.0f, 2.0f, 2.0f), 1.0f), &s.space);
    LeafPointer high = makeLeaf(cubeAround(Vec(6.0f, 6.0f, 6.0f), 1.0f), &s.space);
    // One of two slot leaves goes: the other is handed up into the parent's slot.
    ASSERT_TRUE(s.space.remove(low.get()));
    EXPECT_EQ(root.getPlaceable(7), high.get());
    EXPECT_EQ(root.getPlaceableMask(), 0x80u);
    EXPECT_EQ(high->getSpaceNode(), &root);
    EXPECT_EQ(high->getSlotIndex(), 7);
    EXPECT_EQ(low->getSpace(), nullptr);
    EXPECT_EQ(low->getSpaceNode(), nullptr);
    EXPECT_TRUE(s.space.check());

    // A cell with a leaf in its own list stays, even with nothing else in it.
    ASSERT_TRUE(s.space.insert(low.get()));
    LeafPointer listed = makeLeaf(cubeAround(Vec(4.0f, 4.0f, 4.0f), 4.5f), &s.space);
    const Cell* cell = root.getCell(7);
    ASSERT_NE(cell, nullptr);
    ASSERT_EQ(listed->getSpaceNode(), cell);
    ASSERT_TRUE(s.space.remove(low.get()));
    ASSERT_TRUE(s.space.remove(high.get()));
    EXPECT_EQ(root.getCell(7), cell);
    EXPECT_EQ(cell->getListHead(), listed.get());
    // Its last leaf goes: the empty cell leaves the parent's slot.
    ASSERT_TRUE(s.space.remove(listed.get()));
    EXPECT_EQ(root.getCell(7), nullptr);
    EXPECT_EQ(s.space.getCount(), 1);
    EXPECT_TRUE(s.space.check());
}

TEST(SpaceTest, CollapsedCellsGoBackToThePool) {
    Space16 s;
    // Three levels below root slot 7: cells of edge 8, 4 and 2, the last
    // holding both leaves.
    LeafPointer a = makeLeaf(cubeAround(Vec(5.0f, 5.0f, 5.0f), 0.5f));
    LeafPointer b = makeLeaf(cubeAround(Vec(5.5f, 5.5f, 5.5f), 0.5f));
    for (int round = 0; round < 100; ++round) {
        ASSERT_TRUE(s.space.insert(a.get()));
        ASSERT_TRUE(s.space.insert(b.get()));
        const Cell* deepest = a->getSpaceNode();
        ASSERT_EQ(deepest->getCube().edge, 2.0f);
        ASSERT_EQ(b->getSpaceNode(), deepest);
        const Cell* middle = deepest->getParent();
        ASSERT_TRUE(s.space.remove(a.get()));
        // Handed up one level only.
        ASSERT_EQ(b->getSpaceNode(), middle);
        ASSERT_EQ(middle->getPlaceable(0), b.get());
        ASSERT_TRUE(s.space.remove(b.get()));
        // The emptied middle cell is gone; the one above it stays, empty.
        const Cell* top = s.space.getRoot().getCell(7);
        ASSERT_NE(top, nullptr);
        ASSERT_EQ(top->getCell(0), nullptr);
        ASSERT_EQ(top->getCell(7), nullptr);
        ASSERT_TRUE(s.space.check());
    }
    // Two cells made and given back per round: one block serves all rounds.
    EXPECT_EQ(s.space.getCells().getTotalSlots(), 64);
}

TEST(SpaceTest, GrowingKeepsCellsInPlaceAndRootSlotLeavesWhereTheyAre) {
    Space16 s;
    std::vector<LeafPointer> leaves;
    // Cells at root slots 7 and 0, and one below the latter.
    for (const Vec& centre : {Vec(2.0f, 2.0f, 2.0f), Vec(6.0f, 6.0f, 6.0f), Vec(-2.0f, -2.0f, -2.0f),
                              Vec(-6.0f, -6.0f, -5.0f), Vec(-5.0f, -5.0f, -7.0f)}) {
        leaves.push_back(makeLeaf(cubeAround(centre, 1.0f), &s.space));
    }
    LeafPointer alone = makeLeaf(cubeAround(Vec(-4.0f, 4.0f, -4.0f), 1.0f), &s.space);
    ASSERT_EQ(alone->getSlotIndex(), 2);
    std::map<const Cell*, std::pair<Cube, int>> before;
    collectCells(s.space.getRoot(), 0, before);
    ASSERT_EQ(before.size(), 4u);

    // Reach 100: four doublings, from 16 to 256.
    LeafPointer far = makeLeaf(cubeAround(Vec(99.0f, 0.0f, 0.0f), 2.0f), &s.space);
    EXPECT_EQ(s.space.getRoot().getCube().edge, 256.0f);
    std::map<const Cell*, std::pair<Cube, int>> after;
    collectCells(s.space.getRoot(), 0, after);
    for (const auto& [cell, old] : before) {
        if (cell == &s.space.getRoot()) {
            continue;
        }
        ASSERT_EQ(after.count(cell), 1u);
        EXPECT_EQ(after[cell].first.centre, old.first.centre);
        EXPECT_EQ(after[cell].first.edge, old.first.edge);
        EXPECT_EQ(after[cell].second, old.second + 4);
    }
    EXPECT_EQ(alone->getSpaceNode(), &s.space.getRoot());
    EXPECT_EQ(alone->getSlotIndex(), 2);
    for (const LeafPointer& leaf : leaves) {
        EXPECT_TRUE(soundlyPlaced(s.space, *leaf));
    }
    EXPECT_TRUE(s.space.check());
}

TEST(SpaceTest, APointOnACentrePlaneGoesToTheLowerOctant) {
    Space16 s;
    LeafPointer onX = makeLeaf(cubeAround(Vec(0.0f, 3.0f, -3.0f), 0.5f), &s.space);
    EXPECT_EQ(onX->getSlotIndex(), 2);
    // On all three planes of the cell of edge 8 at (4, 4, 4).
    LeafPointer a = makeLeaf(cubeAround(Vec(2.0f, 2.0f, 2.0f), 0.5f), &s.space);
    LeafPointer b = makeLeaf(cubeAround(Vec(6.0f, 6.0f, 6.0f), 0.5f), &s.space);
    LeafPointer centre = makeLeaf(cubeAround(Vec(4.0f, 4.0f, 4.0f), 0.5f), &s.space);
    const Cell* cell = b->getSpaceNode();
    ASSERT_EQ(cell->getCube().centre, Vec(4.0f, 4.0f, 4.0f));
    // Slot 0 was taken by `a`, so both went one level further down.
    EXPECT_EQ(centre->getSpaceNode()->getParent(), cell);
    EXPECT_EQ(centre->getSpaceNode()->getIndex(), 0);
    EXPECT_EQ(centre->getSlotIndex(), 7);
    EXPECT_TRUE(s.space.check());
}

TEST(SpaceTest, RefusesNullRepeatedAndUnplaceableLeaves) {
    Space16 s;
    LeafSpace other;
    LeafPointer leaf = makeLeaf(cubeAround(Vec(1.0f, 1.0f, 1.0f), 1.0f), &s.space);
    EXPECT_FALSE(s.space.insert(nullptr));
    EXPECT_FALSE(s.space.remove(nullptr));
    EXPECT_FALSE(s.space.insert(leaf.get()));
    EXPECT_FALSE(other.insert(leaf.get()));
    EXPECT_FALSE(other.remove(leaf.get()));
    EXPECT_EQ(leaf->getReferenceCount(), 2);
    EXPECT_EQ(leaf->getSpace(), &s.space);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float beyond = LeafSpace::kMaxEdge / 1.5f;  // twice its reach overflows the largest edge
    for (const BoundingBox<float>& bounds :
         {BoundingBox<float>(Vec(nan, 0.0f, 0.0f), Vec(1.0f, 1.0f, 1.0f)),
          BoundingBox<float>(Vec(0.0f, 0.0f, 0.0f), Vec(1.0f, inf, 1.0f)),
          BoundingBox<float>(Vec(0.0f, 0.0f, -inf), Vec(1.0f, 1.0f, 1.0f)),
          BoundingBox<float>(Vec(beyond, 0.0f, 0.0f), Vec(beyond, 1.0f, 1.0f))}) {
        LeafPointer bad = makeLeaf(bounds);
        EXPECT_FALSE(s.space.insert(bad.get()));
        EXPECT_EQ(bad->getReferenceCount(), 1);
        EXPECT_EQ(bad->getSpace(), nullptr);
    }
    EXPECT_EQ(s.space.getRoot().getCube().edge, 16.0f);
    EXPECT_EQ(s.space.getCount(), 2);
    EXPECT_TRUE(s.space.check());

    // The largest reach the root can take is still placed.
    LeafPointer edge = makeLeaf(cubeAround(Vec(LeafSpace::kMaxEdge / 2.0f, 0.0f, 0.0f), 1.0f), &s.space);
    EXPECT_EQ(s.space.getRoot().getCube().edge, LeafSpace::kMaxEdge);
    EXPECT_TRUE(soundlyPlaced(s.space, *edge));
    EXPECT_TRUE(s.space.check());
}

TEST(SpaceTest, RunningOutOfCellsLeavesTheTreeSound) {
    Space16 s;
    const Cell& root = s.space.getRoot();
    auto liveCells = [&] {
        std::map<const Cell*, std::pair<Cube, int>> cells;
        collectCells(root, 0, cells);
        return static_cast<std::int64_t>(cells.size()) - 1;
    };
    // Small leaves inside the root until every pooled cell is in use, so the
    // next cell needs a new block from the heap.
    std::mt19937 random(3);
    std::uniform_real_distribution<float> coordinate(-7.0f, 7.0f);
    std::vector<LeafPointer> leaves;
    while (leaves.size() < 1000 && (liveCells() == 0 || liveCells() != s.space.getCells().getTotalSlots())) {
        const Vec centre(coordinate(random), coordinate(random), coordinate(random));
        leaves.push_back(makeLeaf(cubeAround(centre, 0.25f), &s.space));
    }
    ASSERT_EQ(liveCells(), s.space.getCells().getTotalSlots());
    // A leaf sharing a cell with exactly one other slot leaf and nothing else:
    // removing it hands the other up and frees the cell, and a leaf with its
    // box then needs exactly one new cell.
    auto paired = [&](const CountedLeaf& leaf) {
        const Cell* cell = leaf.getSpaceNode();
        if (leaf.getSlotIndex() < 0 || cell == &root || cell->getListHead() != nullptr) {
            return false;
        }
        int placeables = 0;
        for (int slot = 0; slot < LeafSpace::kSlots; ++slot) {
            if (cell->getCell(slot) != nullptr) {
                return false;
            }
            placeables += cell->getPlaceable(slot) != nullptr ? 1 : 0;
        }
        return placeables == 2;
    };
    CountedLeaf* held = nullptr;
    for (const LeafPointer& leaf : leaves) {
        if (paired(*leaf)) {
            held = leaf.get();
        }
    }
    ASSERT_NE(held, nullptr);
    const std::int32_t count = s.space.getCount();

    // A split that finds no cell leaves the new leaf out and the tree as it was.
    LeafPointer twin = makeLeaf(held->getWorldBounds());
    EXPECT_TRUE(failsWithoutMemory([&] { s.space.insert(twin.get()); }));
    EXPECT_EQ(twin->getSpace(), nullptr);
    EXPECT_EQ(twin->getReferenceCount(), 1);
    EXPECT_EQ(s.space.getCount(), count);
    EXPECT_TRUE(s.space.check());

    // A move that finds no cell parks the leaf, old box and all, in the root's own list.
    const OrientedBox anchorBox = s.anchor->getWorldBox();
    EXPECT_TRUE(failsWithoutMemory([&] { s.anchor->setWorldBox(OrientedBox(held->getWorldBounds())); }));
    EXPECT_EQ(s.anchor->getWorldBox().getCentre(), anchorBox.getCentre());
    EXPECT_EQ(s.anchor->getWorldBounds().max, Vec(5.0f, 5.0f, 5.0f));
    EXPECT_TRUE(soundlyPlaced(s.space, *s.anchor));
    EXPECT_EQ(s.anchor->getSpaceNode(), &root);
    EXPECT_EQ(s.space.getCount(), count);
    EXPECT_TRUE(s.space.check());

    // With one cell free and two root cells to wrap, growing takes the free
    // cell, fails on the second and gives the first back.
    int rootCells = 0;
    for (int slot = 0; slot < LeafSpace::kSlots; ++slot) {
        rootCells += root.getCell(slot) != nullptr ? 1 : 0;
    }
    ASSERT_GE(rootCells, 2);
    const std::int64_t cellsBefore = liveCells();
    ASSERT_TRUE(s.space.remove(held));
    ASSERT_EQ(liveCells(), cellsBefore - 1);
    std::map<const Cell*, std::pair<Cube, int>> before;
    collectCells(root, 0, before);
    LeafPointer far = makeLeaf(cubeAround(Vec(0.0f, 0.0f, 30.0f), 1.0f));
    EXPECT_TRUE(failsWithoutMemory([&] { s.space.insert(far.get()); }));
    std::map<const Cell*, std::pair<Cube, int>> after;
    collectCells(root, 0, after);
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(root.getCube().edge, 16.0f);
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
        owned->release();  // the space now holds the only reference
        EXPECT_EQ(owned->getReferenceCount(), 1);
        ASSERT_TRUE(space.remove(owned));
        EXPECT_EQ(CountedLeaf::sLive, live);

        // Leaves in slots, in cells and in own lists, all given up by the space alone.
        for (int i = 0; i < 50; ++i) {
            auto* leaf =
                new CountedLeaf(cubeAround(Vec(i * 0.37f - 9.0f, i * 0.11f, -i * 0.23f), i % 7 * 0.6f));
            ASSERT_TRUE(space.insert(leaf));
            leaf->release();
        }
        kept = makeLeaf(cubeAround(Vec(-2.0f, 2.0f, 1.0f), 0.2f), &space);
        ASSERT_TRUE(space.check());
        EXPECT_EQ(CountedLeaf::sLive, live + 51);
    }
    EXPECT_EQ(CountedLeaf::sLive, live + 1);
    EXPECT_EQ(kept->getReferenceCount(), 1);
    EXPECT_EQ(kept->getSpace(), nullptr);
    EXPECT_EQ(kept->getSpaceNode(), nullptr);
    EXPECT_EQ(kept->getNextInCell(), nullptr);
    EXPECT_EQ(kept->getSlotIndex(), -1);
}

TEST(SpaceTest, CoincidentPointsEndTheDescentSoundly) {
    // Zero-size boxes at one point split until the cell edge reaches zero, or
    // until the cell centres run out of float precision: there the rounded
    // cells stop containing the point and the containment check ends the
    // descent.
    for (const Vec& point : {Vec(1.0f, -1.0f, 0.5f), Vec(0.1f, 0.2f, 0.3f), Vec(3.0e6f, 3.0e6f, -3.0e6f)}) {
        LeafSpace space;
        LeafPointer first = makeLeaf(cubeAround(point, 0.0f), &space);
        LeafPointer second = makeLeaf(cubeAround(point, 0.0f), &space);
        EXPECT_TRUE(space.check());
        EXPECT_TRUE(soundlyPlaced(space, *first));
        EXPECT_TRUE(soundlyPlaced(space, *second));
        ASSERT_TRUE(space.remove(first.get()));
        ASSERT_TRUE(space.remove(second.get()));
        EXPECT_TRUE(space.check());
    }
}

// Random boxes over a wide range of sizes, a quarter of them snapped onto
// cell centre planes, a third of them turned about z.
OrientedBox randomBox(std::mt19937& random) {
    std::uniform_real_distribution<float> coordinate(-1000.0f, 1000.0f);
    std::uniform_real_distribution<float> exponent(-6.0f, 8.0f);
    std::uniform_int_distribution<int> choice(0, 11);
    Vec centre(coordinate(random), coordinate(random), coordinate(random));
    Vec half(std::exp2(exponent(random)), std::exp2(exponent(random)), std::exp2(exponent(random)));
    const int kind = choice(random);
    if (kind < 3) {
        for (int axis = 0; axis < 3; ++axis) {
            centre[axis] = std::round(centre[axis] / 16.0f) * 16.0f;
            half[axis] = std::exp2(std::round(std::log2(half[axis])));
        }
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
    // A step changes only the cells on the paths to the touched leaf's old
    // and new cells (a collapse frees at most the old cell, never its
    // parent), plus the root's slots when it grows: those are checked after
    // every step, the whole tree every 256 steps and when the root grows.
    auto step = [&](int index, auto&& change) {
        const Cell* old = leaves[index]->getSpaceNode();
        const Cell* anchor = old != nullptr && old->getParent() != nullptr ? old->getParent() : old;
        const float edge = space.getRoot().getCube().edge;
        change(*leaves[index]);
        ASSERT_EQ(space.getCount(), count);
        ASSERT_TRUE(soundAround(space, anchor));
        if (placed[index]) {
            ASSERT_TRUE(soundAround(space, leaves[index]->getSpaceNode()));
        } else {
            ASSERT_EQ(leaves[index]->getSpace(), nullptr);
            ASSERT_EQ(leaves[index]->getReferenceCount(), 1);
        }
        if (++steps % 256 == 0 || space.getRoot().getCube().edge != edge) {
            ASSERT_TRUE(space.check());
        }
    };
    auto insert = [&](CountedLeaf& leaf) { ASSERT_TRUE(space.insert(&leaf)); };
    auto remove = [&](CountedLeaf& leaf) { ASSERT_TRUE(space.remove(&leaf)); };
    for (int i = 0; i < kLeaves; ++i) {
        leaves.push_back(makeLeaf(BoundingBox<float>()));
        ASSERT_TRUE(leaves.back()->setWorldBox(randomBox(random)));
        placed[i] = true;
        ++count;
        step(i, insert);
    }
    std::uniform_int_distribution<int> pick(0, kLeaves - 1);
    for (int move = 0; move < kLeaves; ++move) {
        const int index = pick(random);
        const OrientedBox box = randomBox(random);
        if (!placed[index]) {
            placed[index] = true;
            ++count;
            step(index, insert);
        } else if (move % 3 == 0) {
            // In place: the placeable moves itself.
            step(index, [&](CountedLeaf& leaf) { ASSERT_TRUE(leaf.setWorldBox(box)); });
        } else if (move % 3 == 1) {
            step(index, [&](CountedLeaf& leaf) {
                ASSERT_TRUE(space.remove(&leaf));
                ASSERT_TRUE(leaf.setWorldBox(box));
                ASSERT_TRUE(space.insert(&leaf));
            });
        } else {
            placed[index] = false;
            --count;
            step(index, remove);
        }
    }
    ASSERT_TRUE(space.check());
    for (int i = 0; i < kLeaves; ++i) {
        if (placed[i]) {
            placed[i] = false;
            --count;
            step(i, remove);
        }
    }
    ASSERT_TRUE(space.check());
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
        leaves.push_back(makeLeaf(BoundingBox<float>()));
        leaves.back()->setWorldBox(homes.back());
        ASSERT_TRUE(space.insert(leaves.back().get()));
    }
    // Every leaf wanders around its home, one remove and insert per move.
    std::uniform_real_distribution<float> jitter(-3.0f, 3.0f);
    auto round = [&] {
        for (int i = 0; i < kLeaves; ++i) {
            OrientedBox box = homes[i];
            box.setCentre(box.getCentre() + Vec(jitter(random), jitter(random), jitter(random)));
            ASSERT_TRUE(space.remove(leaves[i].get()));
            leaves[i]->setWorldBox(box);
            ASSERT_TRUE(space.insert(leaves[i].get()));
        }
    };
    for (int warm = 0; warm < 3; ++warm) {
        round();
    }
    const std::int64_t slots = space.getCells().getTotalSlots();
    for (int more = 0; more < 5; ++more) {
        round();
    }
    EXPECT_EQ(space.getCells().getTotalSlots(), slots);
    EXPECT_TRUE(space.check());
}

}  // namespace
}  // namespace nevrik::geometry
