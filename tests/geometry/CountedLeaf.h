#pragma once

#include "nevrik/geometry/BoundingBox.h"
#include "nevrik/geometry/OrientedBox.h"
#include "nevrik/geometry/Placeable.h"
#include "nevrik/geometry/Space.h"
#include "nevrik/object/Object.h"

namespace nevrik::geometry::test {

// A placeable leaf that counts its live instances, so tests see every
// reference a space takes come back exactly once.
class CountedLeaf final : public object::Object, public Placeable<float, 3, CountedLeaf> {
public:
    explicit CountedLeaf(const BoundingBox<float>& bounds) {
        ++sLive;
        setWorldBox(OrientedBox(bounds));
    }
    CountedLeaf(const CountedLeaf& other) : Object(other), Placeable(other) { ++sLive; }
    ~CountedLeaf() override { --sLive; }

    const object::Object& getPlaceableObject() const noexcept override { return *this; }

    static inline int sLive = 0;
};

using LeafSpace = Space<float, 3, CountedLeaf>;
using Vec = math::Vector3<float>;

// The axis-aligned box of edge `size` around `centre`.
inline BoundingBox<float> cubeAround(const Vec& centre, float size) {
    const Vec half(size / 2.0f, size / 2.0f, size / 2.0f);
    return BoundingBox<float>(centre - half, centre + half);
}

}  // namespace nevrik::geometry::test
