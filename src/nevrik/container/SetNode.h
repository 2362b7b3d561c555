#pragma once

#include "nevrik/container/detail/TreapNode.h"

namespace nevrik::container {

/// One entry of a Set: its key, read-only since it places the node. Lives in
/// the set's allocator; valid until removed from the set.
template <class K>
class SetNode : public detail::TreapNode<SetNode<K>, K> {
public:
    explicit SetNode(const K& key) : detail::TreapNode<SetNode, K>(key) {}
    SetNode(const SetNode& other) = default;
};

}  // namespace nevrik::container
