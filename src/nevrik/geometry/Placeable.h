#pragma once

#include "nevrik/geometry/BoundingBox.h"
#include "nevrik/geometry/OrientedBox.h"
#include "nevrik/object/Object.h"

#include <cstdint>

namespace nevrik::geometry {

template <class Scalar, int Dimensions, class T>
class Space;

/// The part of a leaf that a spatial index holds. Only the form
/// Placeable<float, 3, T> is defined; it goes into a Space<float, 3, T>.
template <class Scalar, int Dimensions, class T>
class Placeable;

/// The intrusive part of a leaf that a Space<float, 3, T> indexes: the leaf's
/// box in locale coordinates, the axis-aligned bounds around it, and the
/// links that hold it in one octree cell.
///
/// A leaf class derives from object::Object and from this, and answers
/// getPlaceableObject() with itself: while the leaf is in a space, the space
/// holds one reference on that object. A leaf destroyed while still in a space
/// (one held by value, whose count never reaches zero) leaves it on the way,
/// without the reference step. A copy starts outside any space. Not
/// synchronised: used on the thread that owns the space.
template <class T>
class Placeable<float, 3, T> {
public:
    using SpaceType = Space<float, 3, T>;
    using Cell = typename SpaceType::Node;

    /// The object the space keeps alive while this placeable is in it.
    virtual const object::Object& getPlaceableObject() const noexcept = 0;

    /// Sets worldBox and the worldBounds around it. A placeable in a space
    /// moves to the cell its new bounds belong in (which may allocate cells),
    /// so that its cell always contains it; there it refuses bounds the space
    /// would refuse on insert (returns false, changing nothing). Outside a
    /// space any box is taken.
    bool setWorldBox(const OrientedBox& box) {
        const BoundingBox<float> bounds = box.toBoundingBox();
        if (mSpace != nullptr) {
            return mSpace->move(*this, box, bounds);
        }
        mWorldBox = box;
        mWorldBounds = bounds;
        return true;
    }

    /// The cell holding this placeable, or null outside a space.
    const Cell* getSpaceNode() const noexcept { return mSpaceNode; }
    /// The space this placeable is in, or null.
    SpaceType* getSpace() const noexcept { return mSpace; }
    /// The box in locale coordinates; the default is the cube of edge 2 at the origin.
    const OrientedBox& getWorldBox() const noexcept { return mWorldBox; }
    /// The axis-aligned box around getWorldBox(), never stale.
    const BoundingBox<float>& getWorldBounds() const noexcept { return mWorldBounds; }
    /// The next and previous placeable in the own list of the same cell; null
    /// at either end and for a placeable held in a slot.
    Placeable* getNextInCell() const noexcept { return mNextInCell; }
    Placeable* getPrevInCell() const noexcept { return mPrevInCell; }
    /// 0 to 7 when the placeable sits directly in that slot of its cell, -1
    /// when it is in the cell's own list or outside any space.
    std::int32_t getSlotIndex() const noexcept { return mSlotIndex; }

protected:
    Placeable() noexcept = default;
    /// Copies the boxes; the copy is in no space.
    Placeable(const Placeable& other) noexcept
        : mWorldBox(other.mWorldBox), mWorldBounds(other.mWorldBounds) {}
    Placeable& operator=(const Placeable&) = delete;
    // Virtual only because the class has a virtual operation; a leaf is
    // destroyed through its object, never through this part.
    virtual ~Placeable() {
        if (mSpace != nullptr) {
            mSpace->leave(*this);
        }
    }

private:
    friend SpaceType;

    Cell* mSpaceNode = nullptr;
    SpaceType* mSpace = nullptr;
    OrientedBox mWorldBox;
    BoundingBox<float> mWorldBounds{OrientedBox().toBoundingBox()};
    Placeable* mNextInCell = nullptr;
    Placeable* mPrevInCell = nullptr;
    std::int32_t mSlotIndex = -1;
};

}  // namespace nevrik::geometry

// A placeable names its space's cell type, so a Placeable can only be
// instantiated with Space complete; including it here lets either header be
// included first.
#include "nevrik/geometry/Space.h"
