#pragma once

#include "nevrik/container/detail/TreapNode.h"

#include <utility>

namespace nevrik::container {

/// One entry of a Map: its key (read-only, since it places the node) and its
/// value. Lives in the map's allocator; valid until removed from the map.
template <class K, class V>
class MapNode : public detail::TreapNode<MapNode<K, V>, K> {
public:
    template <class W>
    MapNode(const K& key, W&& value) : detail::TreapNode<MapNode, K>(key), mValue(std::forward<W>(value)) {}
    MapNode(const MapNode& other) = default;

    V& getValue() noexcept { return mValue; }
    const V& getValue() const noexcept { return mValue; }

private:
    V mValue;
};

}  // namespace nevrik::container
