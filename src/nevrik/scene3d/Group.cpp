#include "nevrik/scene3d/Group.h"

#include "nevrik/scene3d/Universe.h"

namespace nevrik::scene3d {

Group::Group() noexcept : Group(KIND_GROUP) {}

Group::Group(std::uint32_t kind) noexcept : Node(kind) {
    mKind |= KIND_GROUP;
}

Group::Group(const Group& other) : Node(other), mTransform(other.mTransform) {
    for (const Node* child = other.mFirstChild; child != nullptr; child = child->getNextSibling()) {
        addChild(child->clone().get());
    }
}

Group::~Group() {
    removeAllChildren();
}

object::Pointer<Node> Group::clone() const {
    return object::make<Group>(*this);
}

void Group::attach(Locale* locale) {
    Node::attach(locale);
    for (Node* child = mFirstChild; child != nullptr; child = child->mNextSibling) {
        child->attach(locale);
    }
}

void Group::detach(Locale* locale) {
    Node::detach(locale);
    for (Node* child = mFirstChild; child != nullptr; child = child->mNextSibling) {
        child->detach(locale);
    }
}

void Group::onEnable() {
    for (Node* child = mFirstChild; child != nullptr; child = child->mNextSibling) {
        if (child->hasFlag(FLAG_ENABLED)) {
            child->onEnable();
        }
    }
}

void Group::onDisable() {
    for (Node* child = mFirstChild; child != nullptr; child = child->mNextSibling) {
        if (child->hasFlag(FLAG_ENABLED)) {
            child->onDisable();
        }
    }
}

void Group::updateTransform(const math::Matrix4<float>& parentTransform) {
    mTransform = parentTransform;
}

bool Group::check() const {
    const Node* previous = nullptr;
    for (const Node* child = mFirstChild; child != nullptr; child = child->mNextSibling) {
        if (child->mParent != this || child->mPrevSibling != previous) {
            return false;
        }
        previous = child;
    }
    return previous == mLastChild && mChildKinds == unionOfChildren();
}

void Group::onChildAdded(Node*) {}

void Group::onChildRemoved(Node*) {}

bool Group::addChild(Node* child) {
    // A universe's sentinel listed behind a parent would loop its own list.
    if (child == nullptr || (child->mLocale != nullptr && child->mParent == nullptr) ||
        dynamic_cast<const Universe::DirtyNode*>(child) != nullptr) {
        return false;
    }
    for (const Node* ancestor = this; ancestor != nullptr; ancestor = ancestor->mParent) {
        if (ancestor == child) {
            return false;
        }
    }
    if (child->mParent == this) {
        return true;
    }
    // Referenced before the old parent lets go, which may hold the only
    // other reference.
    child->addReference();
    if (child->mParent != nullptr) {
        child->mParent->removeChild(child);
    }
    child->mParent = this;
    child->mPrevSibling = mLastChild;
    if (mLastChild != nullptr) {
        mLastChild->mNextSibling = child;
    } else {
        mFirstChild = child;
    }
    mLastChild = child;

    if (!hasFlag(FLAG_ENABLED) && child->hasFlag(FLAG_ENABLED)) {
        child->disable();
    }
    mChildKinds |= contributionOf(*child);
    for (Group* ancestor = mParent;
         ancestor != nullptr && (ancestor->mChildKinds & mChildKinds) != mChildKinds;
         ancestor = ancestor->mParent) {
        ancestor->mChildKinds |= mChildKinds;
    }
    if (mLocale != nullptr) {
        child->attach(mLocale);
    }
    onChildAdded(child);
    return true;
}

bool Group::removeChild(Node* child) {
    if (child == nullptr || child->mParent != this) {
        return false;
    }
    onChildRemoved(child);
    if (mLocale != nullptr) {
        child->detach(mLocale);
    }
    if (child->mPrevSibling != nullptr) {
        child->mPrevSibling->mNextSibling = child->mNextSibling;
    } else {
        mFirstChild = child->mNextSibling;
    }
    if (child->mNextSibling != nullptr) {
        child->mNextSibling->mPrevSibling = child->mPrevSibling;
    } else {
        mLastChild = child->mPrevSibling;
    }
    const std::uint32_t lost = contributionOf(*child);
    clearLinks(*child);
    child->release();

    const std::uint32_t remaining = unionOfChildren();
    if ((remaining & lost) != lost) {
        mChildKinds = remaining;
        refreshAncestors(lost, true);
    }
    return true;
}

void Group::removeAllChildren() {
    if (mFirstChild == nullptr) {
        return;
    }
    for (Node* child = mFirstChild; child != nullptr;) {
        Node* next = child->mNextSibling;
        onChildRemoved(child);
        if (mLocale != nullptr) {
            child->detach(mLocale);
        }
        clearLinks(*child);
        child->release();
        child = next;
    }
    mFirstChild = nullptr;
    mLastChild = nullptr;
    mChildKinds = 0;
    refreshAncestors(0, false);
}

std::uint32_t Group::contributionOf(const Node& node) noexcept {
    std::uint32_t contribution = node.mKind;
    if (node.hasKind(KIND_GROUP)) {
        contribution |= static_cast<const Group&>(node).mChildKinds;
    }
    return contribution;
}

std::uint32_t Group::unionOfChildren() const noexcept {
    std::uint32_t kinds = 0;
    for (const Node* child = mFirstChild; child != nullptr; child = child->mNextSibling) {
        kinds |= contributionOf(*child);
    }
    return kinds;
}

void Group::refreshAncestors(std::uint32_t lost, bool stopEarly) noexcept {
    for (Group* ancestor = mParent; ancestor != nullptr; ancestor = ancestor->mParent) {
        const std::uint32_t kinds = ancestor->unionOfChildren();
        if (stopEarly && (kinds & lost) == lost) {
            return;
        }
        ancestor->mChildKinds = kinds;
    }
}

void Group::clearLinks(Node& child) noexcept {
    child.mParent = nullptr;
    child.mNextSibling = nullptr;
    child.mPrevSibling = nullptr;
}

}  // namespace nevrik::scene3d
