#include "nevrik/object/Pointer.h"
#include "nevrik/scene3d/Geometry.h"
#include "nevrik/scene3d/Group.h"
#include "nevrik/scene3d/Locale.h"
#include "nevrik/scene3d/Root.h"
#include "nevrik/scene3d/Universe.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using nevrik::math::Matrix4;
using nevrik::object::Pointer;
using namespace nevrik::scene3d;

// A universe whose one root holds `count` geometry leaves on a grid under
// one group, 300 units apart like the sample's copies.
struct Grid {
    explicit Grid(int count) {
        auto* locale = universe->addLocale();
        auto root = nevrik::object::make<Root>();
        locale->addRoot(root.get());
        auto made = nevrik::object::make<Group>();
        root->addChild(made.get());
        group = made.get();
        for (int i = 0; i < count; ++i) {
            auto leaf = nevrik::object::make<Geometry>();
            Matrix4<float> placed;
            placed.setColumn(3, {300.0f * (i % 7), 300.0f * (i / 7 % 5), -300.0f * (i / 35)});
            leaf->setLocalTransform(placed);
            group->addChild(leaf.get());
            leaves.push_back(leaf.get());
        }
        universe->update();
        universe->update();
    }

    Pointer<Universe> universe = nevrik::object::make<Universe>();
    Group* group = nullptr;
    std::vector<Geometry*> leaves;
};

// Every leaf moves each frame: a dirty pass recomputes each box and moves it
// within the octree (a remove and an insert that reuse pooled cells).
void movingLeaves(benchmark::State& state) {
    Grid grid(static_cast<int>(state.range(0)));
    float shift = 0.0f;
    for (auto _ : state) {
        shift = shift > 100.0f ? 0.0f : shift + 1.0f;
        for (Geometry* leaf : grid.leaves) {
            Matrix4<float> moved = leaf->getLocalTransform();
            moved(1, 3) += shift;
            leaf->setLocalTransform(moved);
            leaf->markDirty();
        }
        grid.universe->update();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(movingLeaves)->Arg(35)->Arg(10000);

// The group above every leaf is marked once per frame: the whole subtree is
// listed behind it and recomputed, as when the sample's frame moves a parent.
void markedGroup(benchmark::State& state) {
    Grid grid(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        grid.group->markDirty();
        grid.universe->update();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(markedGroup)->Arg(35)->Arg(10000);

}  // namespace
