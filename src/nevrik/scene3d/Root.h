#pragma once

#include "nevrik/container/Chainable.h"
#include "nevrik/scene3d/Group.h"

namespace nevrik::scene3d {

/// The top group of a scene tree, which a locale chains among its roots;
/// Locale::addRoot() attaches the whole tree.
///
/// Reference-counted; the locale's chain holds one reference while the root
/// is on it. A root is never listed for the dirty pass: its transform is
/// the one its children start from. Not synchronised: used on the thread
/// that renders the scene.
class Root : public Group, public container::Chainable<Root> {
public:
    // clone() and create() make their objects with make().
    template <class U, class... Arguments>
    friend object::Pointer<U> object::make(Arguments&&...);

    Root() noexcept = default;

    NEVRIK_CLASS_NAME(Group, ":Root")

    /// A new root (the caller's reference) cloned as a group, on no chain.
    object::Pointer<Node> clone() const override;

protected:
    Root(const Root& other) = default;
};

}  // namespace nevrik::scene3d
