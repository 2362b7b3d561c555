#include "nevrik/scene3d/Universe.h"

#include "nevrik/scene3d/Group.h"

namespace nevrik::scene3d {

Universe::Universe() {
    mTimer.start(0);
}

Universe::~Universe() {
    // A locale kept alive elsewhere must not reach back into a dead universe.
    for (Locale* locale : mLocales) {
        locale->mUniverse = nullptr;
    }
    mLocales.clear();
    // Nodes that outlive their locales may still be listed; none may keep
    // pointing at the sentinel.
    while (Node* node = mDirtyNode.mDirtyNext) {
        node->unlinkDirty();
    }
}

void Universe::update() {
    for (Node* node = mDirtyNode.mDirtyNext; node != nullptr;) {
        Node* next = node->mDirtyNext;
        if (node->mLocale == nullptr || node->mParent == nullptr) {
            // Detached while its parent was listed: nothing to recompute from.
            node->unlinkDirty();
        } else if (node->hasFlag(Node::FLAG_DIRTY)) {
            node->mFlags &= ~Node::FLAG_DIRTY;
            node->updateTransform(node->mParent->getTransform());
        } else if (node->mParent->isListed()) {
            node->mFlags |= Node::FLAG_DIRTY;
        } else {
            node->unlinkDirty();
        }
        node = next;
    }
}

}  // namespace nevrik::scene3d
