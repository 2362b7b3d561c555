#include "nevrik/scene3d/Locale.h"

#include "nevrik/object/Exception.h"
#include "nevrik/scene3d/Universe.h"

namespace nevrik::scene3d {

Locale::Locale(Universe* universe) : mUniverse(universe) {
    if (universe == nullptr) {
        throw object::Exception("Locale: no universe");
    }
    universe->mLocales.add(this);
}

Locale::~Locale() {
    // Detached before the spaces go, so that every leaf leaves its space the
    // ordinary way and no root that outlives this locale still points at it.
    for (Root* root : mRoots) {
        root->detach(this);
    }
    mRoots.clear();
}

bool Locale::addRoot(Root* root) {
    if (root == nullptr || root->getChain() != nullptr || root->getParent() != nullptr ||
        root->getLocale() != nullptr) {
        return false;
    }
    mRoots.add(root);
    root->attach(this);
    return true;
}

}  // namespace nevrik::scene3d
