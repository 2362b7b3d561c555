#pragma once

#include "nevrik/math/Matrix4.h"
#include "nevrik/scene3d/Node.h"

#include <cstdint>

namespace nevrik::scene3d {

/// A node with an ordered list of children, and the transform it hands them.
///
/// Holds one reference on each child and drops them all when it dies. A
/// child added to an attached group is attached with it; a child added to a
/// disabled group is disabled. `childKinds` gathers the kinds of everything
/// below. Not synchronised: used on the thread that renders the scene.
class Group : public Node {
public:
    // clone() and create() make their objects with make().
    template <class U, class... Arguments>
    friend object::Pointer<U> object::make(Arguments&&...);

    Group() noexcept;
    /// Removes every child (removeAllChildren()).
    ~Group() override;

    NEVRIK_CLASS_NAME(Node, ":Group")

    /// A new group (the caller's reference) with this group's transform and a
    /// clone of every child, in order, each held only by the copy.
    object::Pointer<Node> clone() const override;
    /// Attaches the group, then each child in order.
    void attach(Locale* locale) override;
    /// Detaches the group, then each child in order.
    void detach(Locale* locale) override;
    /// Forwards to each enabled child, so that placeable descendants return
    /// to the space once no ancestor is disabled.
    void onEnable() override;
    /// Forwards to each enabled child: placeable descendants leave the space
    /// while the group is disabled, keeping their own flags.
    void onDisable() override;
    /// The group's transform becomes the parent's.
    void updateTransform(const math::Matrix4<float>& parentTransform) override;
    /// Checks the child list (parent and sibling links, both ends) and that
    /// childKinds is the union of the children's contributions.
    bool check() const override;

    /// Hooks run after a child joined and before it leaves.
    virtual void onChildAdded(Node* child);
    virtual void onChildRemoved(Node* child);

    /// Appends `child`, taking a reference, after removing it from its old
    /// parent. Returns false, changing nothing, when it is null, this group
    /// or one of its ancestors, a root hung into a locale, or a universe's
    /// dirty-list head. A child that
    /// is here already stays where it is (true, no second reference).
    bool addChild(Node* child);
    /// Detaches and unlinks `child` and drops the reference, which may
    /// destroy it. Returns false, changing nothing, unless it is a child here.
    bool removeChild(Node* child);
    /// Removes every child, first to last.
    void removeAllChildren();

    const math::Matrix4<float>& getTransform() const noexcept { return mTransform; }
    Node* getFirstChild() const noexcept { return mFirstChild; }
    Node* getLastChild() const noexcept { return mLastChild; }
    /// The union of each child's kind, plus the child's own childKinds when
    /// it is a group.
    std::uint32_t getChildKinds() const noexcept { return mChildKinds; }
    /// What a node adds to its parent's childKinds.
    static std::uint32_t contributionOf(const Node& node) noexcept;

protected:
    explicit Group(std::uint32_t kind) noexcept;
    Group(const Group& other);

private:
    std::uint32_t unionOfChildren() const noexcept;
    /// Each ancestor recomputes its union; with `lost`, the walk stops at the
    /// first one that still holds all of those bits.
    void refreshAncestors(std::uint32_t lost, bool stopEarly) noexcept;
    /// Clears the child's parent and sibling links, after the list was
    /// mended around it.
    static void clearLinks(Node& child) noexcept;

    math::Matrix4<float> mTransform;
    Node* mFirstChild = nullptr;
    Node* mLastChild = nullptr;
    std::uint32_t mChildKinds = 0;
};

}  // namespace nevrik::scene3d
