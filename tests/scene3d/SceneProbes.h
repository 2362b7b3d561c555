#pragma once

#include "nevrik/math/Matrix4.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/scene3d/Geometry.h"
#include "nevrik/scene3d/Group.h"
#include "nevrik/scene3d/Locale.h"
#include "nevrik/scene3d/Root.h"
#include "nevrik/scene3d/Universe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace nevrik::scene3d {

// What the probes below saw: every recomputation in order, and how many
// probes are alive and were destroyed.
struct Record {
    std::vector<const Node*> updated;
    int alive = 0;
    int destroyed = 0;
};

// Counts itself in and out of a record, so that a test can tell a node died
// exactly once, and logs every recomputation.
template <class Base>
class Probe : public Base {
public:
    template <class... Arguments>
    explicit Probe(Record* record, Arguments&&... arguments)
        : Base(std::forward<Arguments>(arguments)...), mRecord(record) {
        ++mRecord->alive;
    }
    ~Probe() override {
        --mRecord->alive;
        ++mRecord->destroyed;
    }

    void updateTransform(const math::Matrix4<float>& parentTransform) override {
        mRecord->updated.push_back(this);
        Base::updateTransform(parentTransform);
    }

private:
    Record* mRecord;
};

using ProbeGroup = Probe<Group>;
using ProbeGeometry = Probe<Geometry>;

// A group with a transform of its own that it hands on: parent × own.
class TransformGroup : public Group {
public:
    explicit TransformGroup(const math::Matrix4<float>& own)
        : Group(KIND_GROUP | KIND_TRANSFORM), mOwn(own) {}

    void updateTransform(const math::Matrix4<float>& parentTransform) override {
        Group::updateTransform(parentTransform * mOwn);
    }

private:
    math::Matrix4<float> mOwn;
};

inline math::Matrix4<float> translation(float x, float y, float z) {
    math::Matrix4<float> matrix;
    matrix.setColumn(3, {x, y, z});
    return matrix;
}

// The dirty list from the head, bounded so that a loop fails instead of hanging.
inline std::vector<Node*> dirtyList(const Universe& universe) {
    std::vector<Node*> nodes;
    for (Node* node = universe.getDirtyNode().getDirtyNext(); node != nullptr && nodes.size() < 10000;
         node = node->getDirtyNext()) {
        nodes.push_back(node);
    }
    return nodes;
}

// Whether the list's back links mirror its forward links and every listed
// node stands after its listed ancestors.
inline bool dirtyListIsSound(const Universe& universe) {
    const Node* previous = &universe.getDirtyNode();
    std::vector<const Node*> seen;
    for (Node* node : dirtyList(universe)) {
        if (node->getDirtyPrev() != previous) {
            return false;
        }
        for (const Node* ancestor = node->getParent(); ancestor != nullptr;
             ancestor = ancestor->getParent()) {
            if (ancestor->isListed() && std::find(seen.begin(), seen.end(), ancestor) == seen.end()) {
                return false;
            }
        }
        seen.push_back(node);
        previous = node;
    }
    return universe.getDirtyNode().getDirtyPrev() == nullptr;
}

// A universe with one locale and one root hung into it; the universe's
// chain and the locale's chain hold the only references on the locale and
// the root.
class Scene {
protected:
    Scene() {
        mLocale = mUniverse->addLocale();
        auto root = object::make<Root>();
        mLocale->addRoot(root.get());
        mRoot = root.get();
    }

    // A new node of type T made with `arguments`, added to `parent`, which
    // then holds the only reference.
    template <class T, class... Arguments>
    T* add(Group* parent, Arguments&&... arguments) {
        auto node = object::make<T>(std::forward<Arguments>(arguments)...);
        EXPECT_TRUE(parent->addChild(node.get()));
        return node.get();
    }

    std::size_t graphicsCount() const {
        return static_cast<std::size_t>(mLocale->getGraphicsSpace().getCount());
    }

    Record mRecord;
    object::Pointer<Universe> mUniverse = object::make<Universe>();
    Locale* mLocale = nullptr;
    Root* mRoot = nullptr;
};

class SceneFixture : public ::testing::Test, protected Scene {};

}  // namespace nevrik::scene3d
