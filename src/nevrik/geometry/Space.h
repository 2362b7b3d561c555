#pragma once

#include "nevrik/container/Allocator.h"
#include "nevrik/geometry/BoundingBox.h"
#include "nevrik/geometry/Cube.h"
#include "nevrik/geometry/OrientedBox.h"
#include "nevrik/geometry/Placeable.h"
#include "nevrik/math/Vector.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace nevrik::geometry {

/// A spatial index of placeables. Only the loose octree Space<float, 3, T> is
/// defined.
template <class Scalar, int Dimensions, class T>
class Space;

/// A loose octree over the Placeable<float, 3, T> parts of leaves, so that
/// traversers find leaves by position: the root cell sits at the origin and
/// grows by doubling; a leaf is stored at a depth set by its size and the
/// octant of its centre.
///
/// Each cell's loose bound is the cube of half-width `edge` around its centre,
/// twice the cell. Containment rule, which culling and picking rely on: every
/// placeable at or below a cell lies within that cell's loose bound. A
/// placeable in a cell's own list lies within that cell's loose bound; one
/// held in slot i lies within the loose bound of the cell that slot i would
/// hold (half the edge, centre moved a quarter edge towards octant i), so a
/// split can always move it down. A placeable goes below a cell only when
/// twice its extent is under the cell's edge and it fits the slot's loose
/// bound; otherwise it stays in the cell's own list. The same test decides on
/// insert and on split.
///
/// Each cell also keeps bounds around everything that has been at or below
/// it since it was made: they grow on insert and are not shrunk on removal,
/// so keeping them costs a min and a max per axis and level of the descent.
/// They lie within the loose bound, and while the scene keeps still they are
/// the exact box of the cell's contents: a much tighter cull for traversers.
///
/// The space holds one reference on each leaf in it and drops them when it
/// dies. Cells come from a pool refilled 64 at a time and recycled on
/// collapse, so moving leaves allocates nothing once warm. Held by value by
/// its owner (a locale); not synchronised: used on the rendering thread.
template <class T>
class Space<float, 3, T> : public object::Object, private object::Noncopyable {
public:
    using PlaceableType = Placeable<float, 3, T>;

    static constexpr int kSlots = 8;
    static constexpr int kCellsPerBlock = 64;
    /// The largest root edge: twice the reach of any placeable must stay
    /// within it, so that every cell's geometry stays finite.
    static constexpr float kMaxEdge = 0x1p127f;

    /// A cell. Slot i covers octant i of the cell: bit 0 of i means x above
    /// the centre, bit 1 y above, bit 2 z above. A slot is empty, holds a
    /// child cell, or holds one placeable directly. Pooled by its space;
    /// traversers read it through the const accessors.
    class Node {
    public:
        Node(Node* parent, std::int32_t index, const Cube& cube, const BoundingBox<float>& bounds) noexcept
            : mParent(parent), mBounds(bounds), mCube(cube), mIndex(index) {}
        Node(const Node&) = delete;
        Node& operator=(const Node&) = delete;

        /// Null for the root.
        const Node* getParent() const noexcept { return mParent; }
        /// Centre and edge; the loose bound is the cube of half-width edge.
        const Cube& getCube() const noexcept { return mCube; }
        /// Holds the world bounds of every placeable at or below this cell
        /// now, and of those that have left since the cell was made; within
        /// the loose bound. Inverted (min above max) on a root that never
        /// held anything.
        const BoundingBox<float>& getBounds() const noexcept { return mBounds; }
        /// The first placeable of the own list (follow getNextInCell()).
        PlaceableType* getListHead() const noexcept { return mListHead; }
        /// Bit i set when slot i holds a placeable.
        std::uint32_t getPlaceableMask() const noexcept { return mPlaceableMask; }
        /// Bit i set when slot i holds a placeable or a cell, so a walk
        /// steps over the empty slots at once.
        std::uint32_t getSlotMask() const noexcept { return mSlotMask; }
        /// The slot of this cell in its parent.
        std::int32_t getIndex() const noexcept { return mIndex; }
        /// The cell in `slot`, or null when the slot is empty, holds a
        /// placeable or is out of range.
        const Node* getCell(int slot) const noexcept {
            return inRange(slot) && !holdsPlaceable(slot) ? static_cast<const Node*>(mSlots[slot]) : nullptr;
        }
        /// The placeable in `slot`, or null when the slot is empty, holds a
        /// cell or is out of range.
        PlaceableType* getPlaceable(int slot) const noexcept {
            return inRange(slot) && holdsPlaceable(slot) ? static_cast<PlaceableType*>(mSlots[slot])
                                                         : nullptr;
        }

    private:
        friend Space;

        static bool inRange(int slot) noexcept { return slot >= 0 && slot < kSlots; }
        bool holdsPlaceable(int slot) const noexcept { return (mPlaceableMask >> slot & 1u) != 0; }
        Node* cellAt(int slot) const noexcept { return static_cast<Node*>(mSlots[slot]); }
        PlaceableType* placeableAt(int slot) const noexcept {
            return static_cast<PlaceableType*>(mSlots[slot]);
        }

        Node* mParent;
        BoundingBox<float> mBounds;
        Cube mCube;
        PlaceableType* mListHead = nullptr;
        std::uint32_t mPlaceableMask = 0;
        std::uint32_t mSlotMask = 0;
        std::int32_t mIndex;
        void* mSlots[kSlots] = {};
    };

    using CellPool = container::Allocator<Node, kCellsPerBlock>;

    /// Empty, with the root's edge 0.
    Space() noexcept : mRoot(nullptr, 0, Cube(), kNoBounds) {}
    /// Takes every placeable out and drops the references on their leaves.
    ~Space() override {
        PlaceableType* pending = nullptr;
        dismantle(mRoot, pending);
        mCount = 0;
        // Every placeable is out before the first release, so a leaf that dies
        // here finds itself in no space.
        while (pending != nullptr) {
            PlaceableType* next = pending->mNextInCell;
            pending->mNextInCell = nullptr;
            pending->getPlaceableObject().release();
            pending = next;
        }
    }

    /// Adds `placeable` and takes a reference on its leaf, growing the root
    /// and splitting cells as needed. Returns false, changing nothing, when
    /// it is null or already in a space, or when its world bounds are not
    /// finite or reach beyond kMaxEdge / 2 from the origin. A failed cell
    /// allocation throws with the placeable left out.
    bool insert(PlaceableType* placeable) {
        if (placeable == nullptr || placeable->mSpace != nullptr) {
            return false;
        }
        const Measure measure = measureOf(placeable->mWorldBounds);
        if (!accepts(measure)) {
            return false;
        }
        enter(*placeable, measure);
        placeable->mSpace = this;
        ++mCount;
        placeable->getPlaceableObject().addReference();
        return true;
    }

    /// Takes `placeable` out, collapses its cell by one level, then drops the
    /// reference on its leaf (which may destroy it). Returns false, changing
    /// nothing, when it is not in this space.
    bool remove(PlaceableType* placeable) noexcept {
        if (placeable == nullptr || placeable->mSpace != this) {
            return false;
        }
        unlink(*placeable);
        placeable->mSpace = nullptr;
        --mCount;
        placeable->getPlaceableObject().release();
        return true;
    }

    /// Verifies the whole tree: parent and index links, each cell's cube
    /// against its parent's, slot masks, each cell's bounds around what is
    /// below it, own-list links, every placeable's back links and the
    /// containment rule, and the count.
    bool check() const override {
        const float edge = mRoot.mCube.edge;
        int exponent = 0;
        const bool rootEdge = edge == 0.0f || (edge >= 1.0f && std::frexp(edge, &exponent) == 0.5f);
        std::int64_t found = 0;
        return rootEdge && mRoot.mParent == nullptr && mRoot.mCube.centre == math::Vector3<float>() &&
               checkCell(mRoot, found) && found == mCount;
    }

    NEVRIK_CLASS_NAME(object::Object, ":Space")

    /// The root cell, for walking: always centred at the origin.
    const Node& getRoot() const noexcept { return mRoot; }
    /// How many placeables are in the space.
    std::int32_t getCount() const noexcept { return mCount; }
    /// The pool the cells below the root come from.
    const CellPool& getCells() const noexcept { return mCells; }

private:
    friend PlaceableType;

    static constexpr float kInfinity = std::numeric_limits<float>::infinity();
    // The bounds of a root that has held nothing: any box widens them to itself.
    static constexpr BoundingBox<float> kNoBounds{math::Vector3<float>(kInfinity, kInfinity, kInfinity),
                                                  math::Vector3<float>(-kInfinity, -kInfinity, -kInfinity)};

    // What the descent needs of a placeable's bounds.
    struct Measure {
        math::Vector3<float> min;
        math::Vector3<float> max;
        math::Vector3<float> centre;
        float extent = 0.0f;  // the largest side
        float reach = 0.0f;   // the largest distance of a face from the origin along its axis
    };

    static Measure measureOf(const BoundingBox<float>& bounds) noexcept {
        Measure measure;
        measure.min = bounds.min;
        measure.max = bounds.max;
        measure.centre = bounds.centre();
        for (int axis = 0; axis < 3; ++axis) {
            measure.extent = std::max(measure.extent, std::abs(bounds.max[axis] - bounds.min[axis]));
            measure.reach = std::max({measure.reach, std::abs(bounds.min[axis]), std::abs(bounds.max[axis])});
        }
        return measure;
    }

    // NaN would slip through the comparisons of the descent and send a
    // placeable down forever; an infinite reach would grow the root to
    // infinity.
    static bool accepts(const Measure& measure) noexcept {
        for (int axis = 0; axis < 3; ++axis) {
            if (!std::isfinite(measure.min[axis]) || !std::isfinite(measure.max[axis])) {
                return false;
            }
        }
        return 2.0f * measure.reach <= kMaxEdge;
    }

    // A coordinate equal to the centre counts as below it.
    static int octantOf(const math::Vector3<float>& point, const math::Vector3<float>& centre) noexcept {
        return (point.x > centre.x ? 1 : 0) | (point.y > centre.y ? 2 : 0) | (point.z > centre.z ? 4 : 0);
    }

    static Cube childCube(const Cube& cube, int slot) noexcept {
        const float quarter = cube.edge / 4.0f;
        Cube child;
        child.edge = cube.edge / 2.0f;
        for (int axis = 0; axis < 3; ++axis) {
            child.centre[axis] = cube.centre[axis] + ((slot >> axis & 1) != 0 ? quarter : -quarter);
        }
        return child;
    }

    static void widen(BoundingBox<float>& bounds, const BoundingBox<float>& part) noexcept {
        for (int axis = 0; axis < 3; ++axis) {
            bounds.min[axis] = std::min(bounds.min[axis], part.min[axis]);
            bounds.max[axis] = std::max(bounds.max[axis], part.max[axis]);
        }
    }

    static bool contains(const BoundingBox<float>& bounds, const BoundingBox<float>& part) noexcept {
        for (int axis = 0; axis < 3; ++axis) {
            if (!(part.min[axis] >= bounds.min[axis] && part.max[axis] <= bounds.max[axis])) {
                return false;
            }
        }
        return true;
    }

    static bool looselyContains(const Cube& cube, const Measure& measure) noexcept {
        for (int axis = 0; axis < 3; ++axis) {
            // Written so that NaN fails.
            if (!(measure.min[axis] >= cube.centre[axis] - cube.edge &&
                  measure.max[axis] <= cube.centre[axis] + cube.edge)) {
                return false;
            }
        }
        return true;
    }

    // The slot of `cell` the placeable belongs in, or -1 for the cell's own list.
    static int slotFor(const Node& cell, const Measure& measure) noexcept {
        if (2.0f * measure.extent >= cell.mCube.edge) {
            return -1;
        }
        const int slot = octantOf(measure.centre, cell.mCube.centre);
        return looselyContains(childCube(cell.mCube, slot), measure) ? slot : -1;
    }

    static void pushFront(Node& cell, PlaceableType& placeable) noexcept {
        placeable.mNextInCell = cell.mListHead;
        placeable.mPrevInCell = nullptr;
        if (cell.mListHead != nullptr) {
            cell.mListHead->mPrevInCell = &placeable;
        }
        cell.mListHead = &placeable;
        placeable.mSlotIndex = -1;
        placeable.mSpaceNode = &cell;
    }

    static void putInSlot(Node& cell, int slot, PlaceableType& placeable) noexcept {
        cell.mSlots[slot] = &placeable;
        cell.mPlaceableMask |= 1u << slot;
        cell.mSlotMask |= 1u << slot;
        placeable.mNextInCell = nullptr;
        placeable.mPrevInCell = nullptr;
        placeable.mSlotIndex = slot;
        placeable.mSpaceNode = &cell;
    }

    // Grows the root if needed and links the placeable into its cell. Throws
    // only when a cell cannot be allocated; the tree stays sound and the
    // placeable unlinked.
    void enter(PlaceableType& placeable, const Measure& measure) {
        if (2.0f * measure.reach > mRoot.mCube.edge) {
            grow(2.0f * measure.reach);
        }
        const BoundingBox<float> bounds(measure.min, measure.max);
        Node* cell = &mRoot;
        for (;;) {
            widen(cell->mBounds, bounds);
            const int slot = slotFor(*cell, measure);
            if (slot < 0) {
                pushFront(*cell, placeable);
                return;
            }
            if (cell->mSlots[slot] == nullptr) {
                putInSlot(*cell, slot, placeable);
                return;
            }
            cell = cell->holdsPlaceable(slot) ? split(*cell, slot) : cell->cellAt(slot);
        }
    }

    // Doubles the root edge until it reaches `edge`. Every cell keeps its
    // place in space: each cell in a root slot is wrapped in a new cell the
    // size of the old root. Placeables in root slots stay, as the loose bound
    // of their slot only widens.
    void grow(float edge) {
        float& rootEdge = mRoot.mCube.edge;
        if (rootEdge == 0.0f) {
            // Nothing can sit in the slots of a root of edge 0.
            rootEdge = 1.0f;
        }
        while (rootEdge < edge) {
            const Cube doubled{math::Vector3<float>(), 2.0f * rootEdge};
            // All wrappers of one doubling are made before any is linked, so a
            // failed allocation leaves the tree as it was.
            Node* wrappers[kSlots] = {};
            try {
                for (int slot = 0; slot < kSlots; ++slot) {
                    if (mRoot.mSlots[slot] != nullptr && !mRoot.holdsPlaceable(slot)) {
                        wrappers[slot] = mCells.create(&mRoot, slot, childCube(doubled, slot),
                                                       mRoot.cellAt(slot)->mBounds);
                    }
                }
            } catch (...) {
                for (Node* wrapper : wrappers) {
                    if (wrapper != nullptr) {
                        mCells.destroy(wrapper);
                    }
                }
                throw;
            }
            for (int slot = 0; slot < kSlots; ++slot) {
                if (Node* wrapper = wrappers[slot]) {
                    Node* old = mRoot.cellAt(slot);
                    const int inner = slot ^ (kSlots - 1);
                    old->mParent = wrapper;
                    old->mIndex = inner;
                    wrapper->mSlots[inner] = old;
                    wrapper->mSlotMask = 1u << inner;
                    mRoot.mSlots[slot] = wrapper;
                }
            }
            rootEdge = doubled.edge;
        }
    }

    // Slot `slot` of `cell` holds a placeable that must share it: a new cell
    // takes the slot and the placeable moves into it. Returns the new cell.
    Node* split(Node& cell, int slot) {
        PlaceableType& moved = *cell.placeableAt(slot);
        Node* child = mCells.create(&cell, slot, childCube(cell.mCube, slot), moved.mWorldBounds);
        cell.mSlots[slot] = child;
        cell.mPlaceableMask &= ~(1u << slot);
        // The moved placeable fits the child's loose bound (the rule for slots),
        // and the child is empty, so its own slot is free.
        const int inner = slotFor(*child, measureOf(moved.mWorldBounds));
        if (inner < 0) {
            pushFront(*child, moved);
        } else {
            putInSlot(*child, inner, moved);
        }
        return child;
    }

    // Takes the placeable out of its cell and collapses the cell one level.
    // The space, the count and the reference stay for the caller.
    void unlink(PlaceableType& placeable) noexcept {
        Node& cell = *placeable.mSpaceNode;
        if (placeable.mSlotIndex < 0) {
            if (placeable.mPrevInCell != nullptr) {
                placeable.mPrevInCell->mNextInCell = placeable.mNextInCell;
            } else {
                cell.mListHead = placeable.mNextInCell;
            }
            if (placeable.mNextInCell != nullptr) {
                placeable.mNextInCell->mPrevInCell = placeable.mPrevInCell;
            }
        } else {
            cell.mSlots[placeable.mSlotIndex] = nullptr;
            cell.mPlaceableMask &= ~(1u << placeable.mSlotIndex);
            cell.mSlotMask &= ~(1u << placeable.mSlotIndex);
        }
        placeable.mSpaceNode = nullptr;
        placeable.mNextInCell = nullptr;
        placeable.mPrevInCell = nullptr;
        placeable.mSlotIndex = -1;
        collapse(cell);
    }

    // A cell other than the root with an empty own list, no child cell and at
    // most one placeable goes back to the pool; its placeable, if any, moves
    // up into the cell's slot in the parent, whose loose bound is the cell's.
    void collapse(Node& cell) noexcept {
        if (&cell == &mRoot || cell.mListHead != nullptr) {
            return;
        }
        int lone = -1;
        for (int slot = 0; slot < kSlots; ++slot) {
            if (cell.mSlots[slot] == nullptr) {
                continue;
            }
            if (!cell.holdsPlaceable(slot) || lone >= 0) {
                return;
            }
            lone = slot;
        }
        Node& parent = *cell.mParent;
        if (lone >= 0) {
            putInSlot(parent, cell.mIndex, *cell.placeableAt(lone));
        } else {
            parent.mSlots[cell.mIndex] = nullptr;
            parent.mSlotMask &= ~(1u << cell.mIndex);
        }
        mCells.destroy(&cell);
    }

    // For Placeable::setWorldBox: moves a placeable of this space to the cell
    // its new box belongs in, keeping the count and the reference.
    bool move(PlaceableType& placeable, const OrientedBox& box, const BoundingBox<float>& bounds) {
        const Measure measure = measureOf(bounds);
        if (!accepts(measure)) {
            return false;
        }
        const OrientedBox oldBox = placeable.mWorldBox;
        const BoundingBox<float> oldBounds = placeable.mWorldBounds;
        unlink(placeable);
        placeable.mWorldBox = box;
        placeable.mWorldBounds = bounds;
        try {
            enter(placeable, measure);
        } catch (...) {
            // Out of cells: the root's own list needs none, and its loose bound
            // holds every box the space has held.
            placeable.mWorldBox = oldBox;
            placeable.mWorldBounds = oldBounds;
            pushFront(mRoot, placeable);
            throw;
        }
        return true;
    }

    // For ~Placeable: the leaf is dying, so there is no reference to drop.
    void leave(PlaceableType& placeable) noexcept {
        unlink(placeable);
        placeable.mSpace = nullptr;
        --mCount;
    }

    // Empties `cell` and every cell below it (those go back to the pool),
    // chaining each placeable onto `pending` through its list link.
    void dismantle(Node& cell, PlaceableType*& pending) noexcept {
        auto out = [&pending](PlaceableType& placeable) {
            placeable.mSpace = nullptr;
            placeable.mSpaceNode = nullptr;
            placeable.mPrevInCell = nullptr;
            placeable.mSlotIndex = -1;
            placeable.mNextInCell = pending;
            pending = &placeable;
        };
        for (int slot = 0; slot < kSlots; ++slot) {
            if (cell.mSlots[slot] == nullptr) {
                continue;
            }
            if (cell.holdsPlaceable(slot)) {
                out(*cell.placeableAt(slot));
            } else {
                Node* child = cell.cellAt(slot);
                dismantle(*child, pending);
                mCells.destroy(child);
            }
            cell.mSlots[slot] = nullptr;
        }
        for (PlaceableType* placeable = cell.mListHead; placeable != nullptr;) {
            PlaceableType* next = placeable->mNextInCell;
            out(*placeable);
            placeable = next;
        }
        cell.mListHead = nullptr;
        cell.mPlaceableMask = 0;
        cell.mSlotMask = 0;
    }

    bool holds(const Node& cell, const PlaceableType& placeable, int slot, const Cube& bound) const noexcept {
        return placeable.mSpace == this && placeable.mSpaceNode == &cell && placeable.mSlotIndex == slot &&
               looselyContains(bound, measureOf(placeable.mWorldBounds)) &&
               contains(cell.mBounds, placeable.mWorldBounds);
    }

    bool checkCell(const Node& cell, std::int64_t& found) const noexcept {
        if ((cell.mSlotMask >> kSlots) != 0 || (cell.mPlaceableMask & ~cell.mSlotMask) != 0) {
            return false;
        }
        for (int slot = 0; slot < kSlots; ++slot) {
            const Cube bound = childCube(cell.mCube, slot);
            if ((cell.mSlots[slot] != nullptr) != ((cell.mSlotMask >> slot & 1u) != 0)) {
                return false;
            }
            if (cell.holdsPlaceable(slot)) {
                const PlaceableType* placeable = cell.placeableAt(slot);
                if (placeable == nullptr || !holds(cell, *placeable, slot, bound) ||
                    placeable->mNextInCell != nullptr || placeable->mPrevInCell != nullptr) {
                    return false;
                }
                ++found;
            } else if (const Node* child = cell.cellAt(slot)) {
                if (child->mParent != &cell || child->mIndex != slot || child->mCube.centre != bound.centre ||
                    child->mCube.edge != bound.edge || !contains(cell.mBounds, child->mBounds) ||
                    !checkCell(*child, found)) {
                    return false;
                }
            }
        }
        const PlaceableType* previous = nullptr;
        for (const PlaceableType* placeable = cell.mListHead; placeable != nullptr;
             placeable = placeable->mNextInCell) {
            // The count bounds the walk, so a list that loops back fails.
            if (placeable->mPrevInCell != previous || !holds(cell, *placeable, -1, cell.mCube) ||
                ++found > mCount) {
                return false;
            }
            previous = placeable;
        }
        return true;
    }

    CellPool mCells;
    Node mRoot;
    std::int32_t mCount = 0;
};

}  // namespace nevrik::geometry
