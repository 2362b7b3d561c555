#include "nevrik/object/Object.h"

#include "nevrik/object/Class.h"
#include "nevrik/types/String.h"

namespace nevrik::object {

Object::~Object() {
    while (mOwnedBlocks != nullptr) {
        OwnedBlock* block = mOwnedBlocks;
        mOwnedBlocks = block->next;
        delete block;
    }
    while (mWatchers != nullptr) {
        Watcher* watcher = mWatchers;
        mWatchers = watcher->next;
        watcher->watched = nullptr;
        watcher->next = nullptr;
        watcher->previous = nullptr;
    }
}

types::String Object::getName() const { return getClass().getName(); }

types::String Object::toString() const { return getClass().toString(); }

bool Object::check() const { return true; }

types::String Object::className() const { return types::String("Object"); }

Class Object::getClass() const { return Class(className()); }

void Object::release() const noexcept {
    // Decrement first and destroy on reaching zero: two threads releasing the
    // last two references at once can then neither both skip nor both run the delete.
    if (mRefCount.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        delete this;
    }
}

void Object::adoptBlock(OwnedBlock* block) noexcept {
    block->next = mOwnedBlocks;
    mOwnedBlocks = block;
}

void Object::addWatcher(Watcher* watcher) const noexcept {
    watcher->watched = this;
    watcher->previous = nullptr;
    watcher->next = mWatchers;
    if (mWatchers != nullptr) {
        mWatchers->previous = watcher;
    }
    mWatchers = watcher;
}

}  // namespace nevrik::object
