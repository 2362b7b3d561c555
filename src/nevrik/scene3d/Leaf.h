#pragma once

#include "nevrik/geometry/OrientedBox.h"
#include "nevrik/geometry/Placeable.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/scene3d/Locale.h"
#include "nevrik/scene3d/Node.h"

#include <cstdint>

namespace nevrik::scene3d {

/// A node that occupies a place in the space for leaves of kind T of its
/// locale, so that traversers find it by position: its box in its own
/// coordinates, and (through the placeable part) its box in locale
/// coordinates.
///
/// Reference-counted; while in a space the space holds a reference too. The
/// leaf is in its space exactly while it is attached, active (it and every
/// ancestor enabled) and its box is one the space takes. Not synchronised:
/// used on the thread that renders the scene.
template <class T>
class Leaf : public Node, public geometry::Placeable<float, 3, T> {
public:
    using PlaceableType = geometry::Placeable<float, 3, T>;
    using SpaceType = geometry::Space<float, 3, T>;

    NEVRIK_CLASS_NAME(Node, ":Leaf")

    const object::Object& getPlaceableObject() const noexcept override { return *this; }

    /// Attaches, then enters the space when active.
    void attach(Locale* locale) override {
        Node::attach(locale);
        enterSpace();
    }
    /// Leaves the space, then detaches.
    void detach(Locale* locale) override {
        leaveSpace();
        Node::detach(locale);
    }
    /// Enters the space when attached and no ancestor is disabled.
    void onEnable() override { enterSpace(); }
    void onDisable() override { leaveSpace(); }
    /// The world box is the local box, carried by the parent's transform
    /// when the leaf inherits it.
    void updateTransform(const math::Matrix4<float>& parentTransform) override {
        geometry::OrientedBox box = mLocalBox;
        if (hasFlag(FLAG_INHERIT)) {
            box.transform(parentTransform);
        }
        place(box);
    }

    /// The box in the node's own coordinates; the cube of edge 2 at the
    /// origin by default.
    const geometry::OrientedBox& getLocalBox() const noexcept { return mLocalBox; }

protected:
    /// `kind` gains KIND_PLACEABLE.
    explicit Leaf(std::uint32_t kind) noexcept : Node(kind | KIND_PLACEABLE) {}
    /// Copies the local box; the copy's world box starts as that box.
    Leaf(const Leaf& other) : Node(other), PlaceableType(other), mLocalBox(other.mLocalBox) {
        this->setWorldBox(mLocalBox);
    }

    /// Takes effect on the next dirty pass (the caller marks the node dirty).
    void setLocalBox(const geometry::OrientedBox& box) noexcept { mLocalBox = box; }

    /// The common tail of every recomputation: sets the world box, moving
    /// the leaf within its space. A box the space refuses (not finite, or
    /// beyond its reach) takes the leaf out until a later box is taken.
    void place(const geometry::OrientedBox& box) {
        // The space may hold the last reference while the leaf moves.
        const object::Pointer<const object::Object> keep(this);
        if (!this->setWorldBox(box)) {
            leaveSpace();
            this->setWorldBox(box);
        }
        enterSpace();
    }

    void enterSpace() {
        Locale* locale = getLocale();
        if (locale != nullptr && this->getSpace() == nullptr && isActive()) {
            locale->template getSpace<T>().insert(this);
        }
    }
    void leaveSpace() noexcept {
        if (SpaceType* space = this->getSpace()) {
            space->remove(this);
        }
    }

private:
    geometry::OrientedBox mLocalBox;
};

}  // namespace nevrik::scene3d
