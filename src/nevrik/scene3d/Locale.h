#pragma once

#include "nevrik/container/Chain.h"
#include "nevrik/container/Chainable.h"
#include "nevrik/geometry/Space.h"
#include "nevrik/math/Vector.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/scene3d/Root.h"
#include "nevrik/types/String.h"

namespace nevrik::scene3d {

class Audio;
class Behaviour;
class Graphics;
class Universe;

/// A region of a universe at a high-precision position: everything inside is
/// in float coordinates relative to it. Carries the roots of the scene trees
/// hung into it and one loose octree per kind of content; traversers walk
/// the graphics space.
///
/// Reference-counted: its universe's chain holds a reference from
/// construction on (Universe::addLocale() leaves it the only one). Dying, it detaches its trees (their leaves
/// leave the spaces), releases its roots and leaves the chain. Not synchronised: used on the thread that
/// renders the scene.
class Locale : public object::Object, public container::Chainable<Locale>, private object::Noncopyable {
public:
    template <class T>
    using SpaceOf = geometry::Space<float, 3, T>;

    /// Joins `universe`'s chain, which takes a reference of its own. Throws
    /// object::Exception when `universe` is null.
    explicit Locale(Universe* universe);
    ~Locale() override;

    NEVRIK_CLASS_NAME(object::Object, ":Locale")

    /// Chains `root` (taking a reference) and attaches its tree here, which
    /// puts its active placeable leaves into the graphics space. Returns
    /// false, changing nothing, when it is null, already in a locale or a
    /// child of a group.
    bool addRoot(Root* root);

    /// The universe, or null once the universe died while this locale was
    /// kept alive elsewhere.
    Universe* getUniverse() const noexcept { return mUniverse; }
    const math::Vector3<double>& getPosition() const noexcept { return mPosition; }
    void setPosition(const math::Vector3<double>& position) noexcept { mPosition = position; }
    const container::Chain<Root>& getRoots() const noexcept { return mRoots; }
    SpaceOf<Graphics>& getGraphicsSpace() noexcept { return mGraphicsSpace; }
    const SpaceOf<Graphics>& getGraphicsSpace() const noexcept { return mGraphicsSpace; }
    SpaceOf<Audio>& getAudioSpace() noexcept { return mAudioSpace; }
    SpaceOf<Behaviour>& getBehaviourSpace() noexcept { return mBehaviourSpace; }
    /// The space for leaves of kind T (Graphics, Audio or Behaviour).
    template <class T>
    SpaceOf<T>& getSpace() noexcept;

private:
    friend class Universe;

    Universe* mUniverse;
    math::Vector3<double> mPosition;
    container::Chain<Root> mRoots;
    SpaceOf<Graphics> mGraphicsSpace;
    SpaceOf<Audio> mAudioSpace;
    SpaceOf<Behaviour> mBehaviourSpace;
};

template <>
inline Locale::SpaceOf<Graphics>& Locale::getSpace<Graphics>() noexcept {
    return mGraphicsSpace;
}
template <>
inline Locale::SpaceOf<Audio>& Locale::getSpace<Audio>() noexcept {
    return mAudioSpace;
}
template <>
inline Locale::SpaceOf<Behaviour>& Locale::getSpace<Behaviour>() noexcept {
    return mBehaviourSpace;
}

}  // namespace nevrik::scene3d
