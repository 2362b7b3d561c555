#pragma once

#include "nevrik/container/MapNode.h"
#include "nevrik/container/detail/Treap.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <utility>

namespace nevrik::container {

/// An ordered map from K to V, kept as a treap whose nodes come from the
/// map's own Allocator<MapNode<K, V>, 64>, so that after warm-up no insertion
/// calls the heap.
///
/// String keys compare by length first, then bytes; keys with a compare()
/// member use it; pointer keys use std::less; other keys operator<. Values are
/// held by value: a map of plain pointers keeps no references. Iteration
/// yields MapNode<K, V> in key order; removing the node an iterator stands on
/// invalidates that iterator only. Copies are deep. Owned by value; not
/// synchronised.
template <class K, class V>
class Map : public object::Object {
    using Tree = detail::Treap<MapNode<K, V>>;

public:
    using Node = MapNode<K, V>;
    using Iterator = typename Tree::template Iterator<Node>;
    using ConstIterator = typename Tree::template Iterator<const Node>;

    Map() noexcept = default;
    Map(const Map& other) : Object(other), mTree(other.mTree) {}
    Map& operator=(const Map&) = delete;

    /// Gives `key` the value `value`: an existing key keeps its node and gets
    /// the new value. Returns true when a node was added. Either argument may
    /// come from this map.
    template <class W>
    bool insert(const K& key, W&& value) {
        const auto place = mTree.locate(key);
        if (place.node != nullptr) {
            place.node->getValue() = std::forward<W>(value);
            return false;
        }
        mTree.emplace(place, key, std::forward<W>(value));
        return true;
    }

    /// The value under `key`, or null when the key is missing.
    V* find(const K& key) { return valueOf(mTree.find(key)); }
    const V* find(const K& key) const { return valueOf(mTree.find(key)); }
    bool contains(const K& key) const { return mTree.find(key) != nullptr; }

    /// Returns false, changing nothing, when the key is missing.
    bool remove(const K& key) { return mTree.remove(key); }
    void clear() noexcept { mTree.clear(); }

    /// True when parent links, key order, priority order and count agree.
    bool check() const override { return mTree.check(); }
    NEVRIK_CLASS_NAME(object::Object, ":Map")

    Iterator begin() noexcept { return mTree.begin(); }
    Iterator end() noexcept { return mTree.end(); }
    ConstIterator begin() const noexcept { return mTree.begin(); }
    ConstIterator end() const noexcept { return mTree.end(); }

    int getCount() const noexcept { return mTree.getCount(); }
    bool isEmpty() const noexcept { return mTree.getCount() == 0; }
    const Allocator<Node, 64>& getAllocator() const noexcept { return mTree.getAllocator(); }

private:
    template <class N>
    static auto valueOf(N* node) noexcept {
        return node != nullptr ? &node->getValue() : nullptr;
    }

    Tree mTree;
};

}  // namespace nevrik::container
