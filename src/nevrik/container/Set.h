#pragma once

#include "nevrik/container/SetNode.h"
#include "nevrik/container/detail/Treap.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

namespace nevrik::container {

/// An ordered set of K: the treap of Map without values, its nodes from the
/// set's own Allocator<SetNode<K>, 64>. Keys compare as Map's do. Holding
/// object::Pointer keys keeps the objects alive. Iteration yields SetNode<K>
/// (read the key with getKey()) in key order. Copies are deep. Owned by value;
/// not synchronised.
template <class K>
class Set : public object::Object {
    using Tree = detail::Treap<SetNode<K>>;

public:
    using Node = SetNode<K>;
    using Iterator = typename Tree::template Iterator<const Node>;

    Set() noexcept = default;
    Set(const Set& other) : Object(other), mTree(other.mTree) {}
    Set& operator=(const Set&) = delete;

    /// Adds `key`; returns false, changing nothing, when it is already there.
    bool insert(const K& key) {
        const auto place = mTree.locate(key);
        if (place.node != nullptr) {
            return false;
        }
        mTree.emplace(place, key);
        return true;
    }

    bool contains(const K& key) const { return mTree.find(key) != nullptr; }
    /// Returns false, changing nothing, when the key is missing.
    bool remove(const K& key) { return mTree.remove(key); }
    void clear() noexcept { mTree.clear(); }

    /// True when parent links, key order, priority order and count agree.
    bool check() const override { return mTree.check(); }
    NEVRIK_CLASS_NAME(object::Object, ":Set")

    Iterator begin() const noexcept { return mTree.begin(); }
    Iterator end() const noexcept { return mTree.end(); }

    int getCount() const noexcept { return mTree.getCount(); }
    bool isEmpty() const noexcept { return mTree.getCount() == 0; }

private:
    Tree mTree;
};

}  // namespace nevrik::container
