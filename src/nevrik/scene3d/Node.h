#pragma once

#include "nevrik/math/Matrix4.h"
#include "nevrik/object/AttachmentList.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::scene3d {

class Group;
class Locale;
class Universe;

/// A node of a scene tree: its name, attachments, place among its siblings,
/// kind and flags, and its links in its universe's dirty list.
///
/// Reference-counted: born with its creator's reference; a group holds one
/// on each child. A node is attached while its tree's root is in a locale;
/// then a change of its placement (markDirty) lists it for the universe's
/// next dirty pass, which recomputes it from its parent's transform. Not
/// synchronised: used on the thread that renders the scene.
class Node : public object::Object {
public:
    // clone() and create() make their objects with make().
    template <class U, class... Arguments>
    friend object::Pointer<U> object::make(Arguments&&...);

    // Kind bits: a node's kind is the OR of the bits of its class, fixed at
    // construction.
    /// Hands a transform of its own to its children (no class here sets it).
    static constexpr std::uint32_t KIND_TRANSFORM = 0x1;
    static constexpr std::uint32_t KIND_GROUP = 0x4;
    /// Lives in the graphics space of its locale.
    static constexpr std::uint32_t KIND_PLACEABLE = 0x8;
    static constexpr std::uint32_t KIND_GRAPHICS = 0x100;
    static constexpr std::uint32_t KIND_GEOMETRY = 0x200;

    /// Takes part; a placeable leaf is in its space only while it and all its
    /// ancestors are enabled and it is attached.
    static constexpr std::uint32_t FLAG_ENABLED = 0x1;
    /// Must be recomputed by the next dirty pass.
    static constexpr std::uint32_t FLAG_DIRTY = 0x4;
    /// Combines its parent's transform with its own.
    static constexpr std::uint32_t FLAG_INHERIT = 0x8;
    /// Flags of a new node: enabled, plus bit 0x2, which nothing reads.
    static constexpr std::uint32_t kInitialFlags = 0x3;

    /// `kind` without KIND_GROUP, which only Group sets.
    explicit Node(std::uint32_t kind) noexcept;
    Node& operator=(const Node&) = delete;
    /// Leaves the dirty list (a dying node never stays listed) and frees the
    /// attachments.
    ~Node() override;

    /// The name its owner gave; empty by default.
    types::String getName() const override { return mName; }
    NEVRIK_CLASS_NAME(object::Object, ":Node")

    /// A new node (reference count 1, the caller's) with this one's name and
    /// kind, flags kInitialFlags, no links, no locale, no attachments.
    /// Subclasses copy their own state (a group clones its children).
    virtual object::Pointer<Node> clone() const;

    /// Enters `locale`: the node inherits its parent's transform when the
    /// parent has KIND_TRANSFORM or FLAG_INHERIT, and is marked dirty. Called
    /// by the group or locale it joins.
    virtual void attach(Locale* locale);
    /// Leaves its locale: clears FLAG_INHERIT and the locale. A listed node
    /// whose parent is listed stays listed (dirty) and is dropped by the
    /// next pass; any other listed node leaves the list.
    virtual void detach(Locale* locale);
    /// Hooks run by enable() and disable() after the flag changed.
    virtual void onEnable() {}
    virtual void onDisable() {}
    /// Recomputes the transform-derived state from the parent's transform.
    virtual void updateTransform(const math::Matrix4<float>& parentTransform);

    /// Sets FLAG_DIRTY and, when the node is attached below a parent and not
    /// yet listed, lists it after its listed parent (or at the head) together
    /// with every unlisted descendant, each after its parent. Without a
    /// locale or a parent only the flag changes.
    void markDirty();
    /// Clears FLAG_ENABLED and runs onDisable(); nothing when already clear.
    void disable();
    /// Sets FLAG_ENABLED and runs onEnable(); nothing when already set.
    void enable();
    /// Whether this node and every ancestor are enabled.
    bool isActive() const noexcept;

    void setName(const types::String& name) { mName = name; }
    object::AttachmentList& getAttachments() noexcept { return mAttachments; }
    const object::AttachmentList& getAttachments() const noexcept { return mAttachments; }
    /// The locale the node is attached to, or null.
    Locale* getLocale() const noexcept { return mLocale; }
    Group* getParent() const noexcept { return mParent; }
    Node* getNextSibling() const noexcept { return mNextSibling; }
    Node* getPrevSibling() const noexcept { return mPrevSibling; }
    std::uint32_t getKind() const noexcept { return mKind; }
    std::uint32_t getFlags() const noexcept { return mFlags; }
    bool hasFlag(std::uint32_t flag) const noexcept { return (mFlags & flag) != 0; }
    bool hasKind(std::uint32_t kind) const noexcept { return (mKind & kind) != 0; }
    /// The next and previous node of the dirty list; the previous one is
    /// null exactly when the node is not listed.
    Node* getDirtyNext() const noexcept { return mDirtyNext; }
    Node* getDirtyPrev() const noexcept { return mDirtyPrev; }
    bool isListed() const noexcept { return mDirtyPrev != nullptr; }

protected:
    /// Copies the name and the kind only: see clone().
    Node(const Node& other);

private:
    friend class Group;
    friend class Universe;

    void insertDirtyAfter(Node& anchor) noexcept;
    /// Leaves the dirty list and clears FLAG_DIRTY.
    void unlinkDirty() noexcept;

    types::String mName;
    object::AttachmentList mAttachments;
    Locale* mLocale = nullptr;
    Group* mParent = nullptr;
    Node* mNextSibling = nullptr;
    Node* mPrevSibling = nullptr;
    std::uint32_t mKind;
    std::uint32_t mFlags = kInitialFlags;
    Node* mDirtyNext = nullptr;
    Node* mDirtyPrev = nullptr;
};

}  // namespace nevrik::scene3d
