#include "nevrik/scene3d/Node.h"

#include "nevrik/scene3d/Group.h"
#include "nevrik/scene3d/Locale.h"
#include "nevrik/scene3d/Universe.h"

namespace nevrik::scene3d {

// KIND_GROUP promises the Group layout, so only Group may set it.
Node::Node(std::uint32_t kind) noexcept : mKind(kind & ~KIND_GROUP) {}

Node::Node(const Node& other) : object::Object(other), mName(other.mName), mKind(other.mKind) {}

Node::~Node() {
    // A dying node has no parent (the parent held a reference), so the rule
    // that keeps a detached node listed behind a listed parent never applies.
    if (isListed()) {
        unlinkDirty();
    }
}

object::Pointer<Node> Node::clone() const {
    return object::make<Node>(*this);
}

void Node::attach(Locale* locale) {
    // A node detached while its parent was listed may still sit at its old
    // place in the list; it is listed afresh behind its new parent.
    if (isListed()) {
        unlinkDirty();
    }
    mLocale = locale;
    if (mParent != nullptr && (mParent->hasKind(KIND_TRANSFORM) || mParent->hasFlag(FLAG_INHERIT))) {
        mFlags |= FLAG_INHERIT;
    }
    markDirty();
}

void Node::detach(Locale*) {
    mFlags &= ~FLAG_INHERIT;
    if (isListed()) {
        if (mParent != nullptr && mParent->isListed()) {
            mFlags |= FLAG_DIRTY;
        } else {
            unlinkDirty();
        }
    }
    mLocale = nullptr;
}

void Node::updateTransform(const math::Matrix4<float>&) {}

void Node::markDirty() {
    mFlags |= FLAG_DIRTY;
    if (isListed() || mLocale == nullptr || mParent == nullptr) {
        return;
    }
    Node* anchor = mParent;
    if (!anchor->isListed()) {
        Universe* universe = mLocale->getUniverse();
        if (universe == nullptr) {
            return;  // the universe is gone: there is no pass to list for
        }
        anchor = &universe->getDirtyNode();
    }
    insertDirtyAfter(*anchor);
    if (hasKind(KIND_GROUP)) {
        // With this node listed, each unlisted child goes right behind it;
        // listed children keep their place and their subtrees stay as they are.
        for (Node* child = static_cast<Group*>(this)->getFirstChild(); child != nullptr;
             child = child->mNextSibling) {
            child->markDirty();
        }
    }
}

void Node::disable() {
    if (hasFlag(FLAG_ENABLED)) {
        mFlags &= ~FLAG_ENABLED;
        onDisable();
    }
}

void Node::enable() {
    if (!hasFlag(FLAG_ENABLED)) {
        mFlags |= FLAG_ENABLED;
        onEnable();
    }
}

bool Node::isActive() const noexcept {
    for (const Node* node = this; node != nullptr; node = node->mParent) {
        if (!node->hasFlag(FLAG_ENABLED)) {
            return false;
        }
    }
    return true;
}

void Node::insertDirtyAfter(Node& anchor) noexcept {
    mDirtyPrev = &anchor;
    mDirtyNext = anchor.mDirtyNext;
    if (mDirtyNext != nullptr) {
        mDirtyNext->mDirtyPrev = this;
    }
    anchor.mDirtyNext = this;
}

void Node::unlinkDirty() noexcept {
    mDirtyPrev->mDirtyNext = mDirtyNext;
    if (mDirtyNext != nullptr) {
        mDirtyNext->mDirtyPrev = mDirtyPrev;
    }
    mDirtyNext = nullptr;
    mDirtyPrev = nullptr;
    mFlags &= ~FLAG_DIRTY;
}

}  // namespace nevrik::scene3d
