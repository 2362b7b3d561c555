#pragma once

#include <cstdint>
#include <utility>

namespace nevrik::container::detail {

template <class Node>
class Treap;

/// What every treap node holds: the key, a 15-bit priority and the links to
/// the smaller child, the greater child and the parent. Node is the derived
/// node type (MapNode, SetNode); only the treap touches the links.
template <class Node, class K>
class TreapNode {
public:
    using Key = K;

    const K& getKey() const noexcept { return mKey; }

protected:
    explicit TreapNode(const K& key) : mKey(key) {}
    // A copy carries the key only; the treap links it anew.
    TreapNode(const TreapNode& other) : mKey(other.mKey) {}
    TreapNode& operator=(const TreapNode&) = delete;
    ~TreapNode() = default;

private:
    friend class Treap<Node>;

    K mKey;
    std::uint16_t mPriority = 0;
    Node* mLeft = nullptr;
    Node* mRight = nullptr;
    Node* mParent = nullptr;
};

}  // namespace nevrik::container::detail
