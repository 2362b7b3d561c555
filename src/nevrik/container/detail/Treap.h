#pragma once

#include "nevrik/container/Allocator.h"
#include "nevrik/container/detail/Compare.h"
#include "nevrik/container/detail/ForwardIterator.h"

#include <cstdint>
#include <initializer_list>
#include <utility>

namespace nevrik::container::detail {

/// The ordered treap under Map and Set: root, element count, the seed of the
/// priority generator and the allocator that owns the nodes. Search order on
/// keys, heap order on priorities (a parent's is never below its children's).
template <class Node>
class Treap {
public:
    using Key = typename Node::Key;

    /// Walks in key order. Removing the node it stands on invalidates it;
    /// other nodes never move.
    template <class N>
    class Iterator : public ForwardIterator<Iterator<N>, N, N&> {
    public:
        explicit Iterator(N* node) noexcept : mNode(node) {}

        N& operator*() const noexcept { return *mNode; }
        N* operator->() const noexcept { return mNode; }
        Iterator& operator++() noexcept {
            mNode = successor(mNode);
            return *this;
        }
        const N* position() const noexcept { return mNode; }

    private:
        N* mNode;
    };

    /// Where a key is or would go: its node, or the parent and side a new leaf takes.
    struct Place {
        Node* node = nullptr;
        Node* parent = nullptr;
        bool left = false;
    };

    static constexpr std::uint32_t kInitialSeed = 0x2545F491u;

    Treap() noexcept = default;
    Treap(const Treap& other) : Treap() {
        try {
            // Keys arrive in order, so each new node goes to the far right.
            for (const Node& node : other) {
                attach(locate(node.getKey()), mAllocator.create(node));
            }
        } catch (...) {
            clear();  // No destructor runs for a constructor that throws.
            throw;
        }
    }
    Treap& operator=(const Treap&) = delete;
    ~Treap() { clear(); }

    Place locate(const Key& key) const {
        Place place;
        Node* node = mRoot;
        while (node != nullptr) {
            const int order = detail::compare(key, node->mKey);
            if (order == 0) {
                place.node = node;
                return place;
            }
            place.parent = node;
            place.left = order < 0;
            node = place.left ? node->mLeft : node->mRight;
        }
        return place;
    }

    Node* find(const Key& key) const { return locate(key).node; }

    /// Makes a node from `arguments` and hangs it at `place`, which a locate()
    /// just returned with no node.
    template <class... Arguments>
    Node* emplace(const Place& place, Arguments&&... arguments) {
        return attach(place, mAllocator.create(std::forward<Arguments>(arguments)...));
    }

    bool remove(const Key& key) {
        Node* node = find(key);
        if (node == nullptr) {
            return false;
        }
        // Rotate the node down below its higher-priority child until it has
        // at most one child; heap order holds throughout.
        while (node->mLeft != nullptr && node->mRight != nullptr) {
            rotateUp(node->mLeft->mPriority > node->mRight->mPriority ? node->mLeft : node->mRight);
        }
        Node* child = node->mLeft != nullptr ? node->mLeft : node->mRight;
        if (child != nullptr) {
            child->mParent = node->mParent;
        }
        replaceChild(node->mParent, node, child);
        mAllocator.destroy(node);
        --mCount;
        return true;
    }

    /// Destroys every node; the allocator keeps their slots for reuse.
    void clear() noexcept {
        Node* node = mRoot;
        // Post-order without recursion: descend to a leaf, destroy it, climb.
        while (node != nullptr) {
            if (node->mLeft != nullptr) {
                node = node->mLeft;
            } else if (node->mRight != nullptr) {
                node = node->mRight;
            } else {
                Node* parent = node->mParent;
                replaceChild(parent, node, nullptr);
                mAllocator.destroy(node);
                node = parent;
            }
        }
        mRoot = nullptr;
        mCount = 0;
    }

    /// Checks parent links, search order, heap order and the count.
    bool check() const {
        if (mRoot != nullptr && mRoot->mParent != nullptr) {
            return false;
        }
        int count = 0;
        const Node* previous = nullptr;
        for (const Node& node : *this) {
            for (const Node* child : {node.mLeft, node.mRight}) {
                if (child != nullptr && (child->mParent != &node || child->mPriority > node.mPriority)) {
                    return false;
                }
            }
            if (previous != nullptr && detail::compare(previous->mKey, node.mKey) >= 0) {
                return false;
            }
            previous = &node;
            ++count;
        }
        return count == mCount;
    }

    Iterator<Node> begin() noexcept { return Iterator<Node>(leftmost(mRoot)); }
    Iterator<Node> end() noexcept { return Iterator<Node>(nullptr); }
    Iterator<const Node> begin() const noexcept { return Iterator<const Node>(leftmost(mRoot)); }
    Iterator<const Node> end() const noexcept { return Iterator<const Node>(nullptr); }

    int getCount() const noexcept { return mCount; }
    const Allocator<Node, 64>& getAllocator() const noexcept { return mAllocator; }

private:
    Node* attach(const Place& place, Node* node) noexcept {
        mSeed = mSeed * 214013u + 2531011u;
        node->mPriority = static_cast<std::uint16_t>((mSeed >> 16) & 32767u);
        node->mParent = place.parent;
        if (place.parent == nullptr) {
            mRoot = node;
        } else if (place.left) {
            place.parent->mLeft = node;
        } else {
            place.parent->mRight = node;
        }
        while (node->mParent != nullptr && node->mParent->mPriority < node->mPriority) {
            rotateUp(node);
        }
        ++mCount;
        return node;
    }

    // Lifts `node` above its parent: a right rotation for a left child, a
    // left rotation for a right child.
    void rotateUp(Node* node) noexcept {
        Node* parent = node->mParent;
        Node* grandparent = parent->mParent;
        if (parent->mLeft == node) {
            parent->mLeft = node->mRight;
            if (node->mRight != nullptr) {
                node->mRight->mParent = parent;
            }
            node->mRight = parent;
        } else {
            parent->mRight = node->mLeft;
            if (node->mLeft != nullptr) {
                node->mLeft->mParent = parent;
            }
            node->mLeft = parent;
        }
        parent->mParent = node;
        node->mParent = grandparent;
        replaceChild(grandparent, parent, node);
    }

    void replaceChild(Node* parent, const Node* old, Node* replacement) noexcept {
        if (parent == nullptr) {
            mRoot = replacement;
        } else if (parent->mLeft == old) {
            parent->mLeft = replacement;
        } else {
            parent->mRight = replacement;
        }
    }

    template <class N>
    static N* leftmost(N* node) noexcept {
        if (node != nullptr) {
            while (node->mLeft != nullptr) {
                node = node->mLeft;
            }
        }
        return node;
    }

    template <class N>
    static N* successor(N* node) noexcept {
        if (node->mRight != nullptr) {
            return leftmost<N>(node->mRight);
        }
        while (node->mParent != nullptr && node->mParent->mRight == node) {
            node = node->mParent;
        }
        return node->mParent;
    }

    Node* mRoot = nullptr;
    int mCount = 0;
    std::uint32_t mSeed = kInitialSeed;
    Allocator<Node, 64> mAllocator;
};

}  // namespace nevrik::container::detail
