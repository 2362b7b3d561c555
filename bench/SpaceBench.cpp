#include "nevrik/geometry/Placeable.h"
#include "nevrik/geometry/Space.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <memory>
#include <random>
#include <vector>

namespace {

using nevrik::geometry::BoundingBox;
using nevrik::geometry::OrientedBox;
using nevrik::geometry::Placeable;
using Vec = nevrik::math::Vector3<float>;

class Leaf final : public nevrik::object::Object, public Placeable<float, 3, Leaf> {
public:
    const nevrik::object::Object& getPlaceableObject() const noexcept override { return *this; }
};

using LeafSpace = nevrik::geometry::Space<float, 3, Leaf>;

constexpr int kLeaves = 10000;

// A scene-like spread: mostly small boxes over a 2 km cube, a few large ones.
std::vector<OrientedBox> boxes(unsigned seed, int count) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> coordinate(-1000.0f, 1000.0f);
    std::uniform_real_distribution<float> exponent(-2.0f, 6.0f);
    std::vector<OrientedBox> made;
    for (int i = 0; i < count; ++i) {
        const Vec centre(coordinate(random), coordinate(random), coordinate(random));
        const float half = std::exp2(exponent(random));
        made.emplace_back(BoundingBox<float>(centre - Vec(half, half, half), centre + Vec(half, half, half)));
    }
    return made;
}

// Leaves held by value: the space's references never reach zero.
std::unique_ptr<Leaf[]> leaves(const std::vector<OrientedBox>& at) {
    std::unique_ptr<Leaf[]> made(new Leaf[at.size()]);
    for (std::size_t i = 0; i < at.size(); ++i) {
        made[i].setWorldBox(at[i]);
    }
    return made;
}

void insertAll(LeafSpace& space, Leaf* leaf) {
    for (int i = 0; i < kLeaves; ++i) {
        space.insert(&leaf[i]);
    }
}

void removeAll(LeafSpace& space, Leaf* leaf) {
    for (int i = 0; i < kLeaves; ++i) {
        space.remove(&leaf[i]);
    }
}

// Inserting 10,000 leaves into a warm space (its cells already pooled).
void spaceInsert(benchmark::State& state) {
    const std::unique_ptr<Leaf[]> leaf = leaves(boxes(1, kLeaves));
    LeafSpace space;
    for (auto _ : state) {
        insertAll(space, leaf.get());
        state.PauseTiming();
        removeAll(space, leaf.get());
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kLeaves);
}
BENCHMARK(spaceInsert)->Unit(benchmark::kMillisecond);

// Removing all 10,000 again, each removal collapsing its cell.
void spaceRemove(benchmark::State& state) {
    const std::unique_ptr<Leaf[]> leaf = leaves(boxes(1, kLeaves));
    LeafSpace space;
    for (auto _ : state) {
        state.PauseTiming();
        insertAll(space, leaf.get());
        state.ResumeTiming();
        removeAll(space, leaf.get());
    }
    state.SetItemsProcessed(state.iterations() * kLeaves);
}
BENCHMARK(spaceRemove)->Unit(benchmark::kMillisecond);

// One leaf of 10,000 moving per iteration, to a box near its own: `reinsert`
// does it as a remove and an insert, otherwise the placeable moves itself.
void spaceMove(benchmark::State& state, bool reinsert) {
    const std::vector<OrientedBox> home = boxes(1, kLeaves);
    const std::vector<OrientedBox> away = boxes(2, kLeaves);
    const std::unique_ptr<Leaf[]> leaf = leaves(home);
    LeafSpace space;
    insertAll(space, leaf.get());
    // Each leaf steps a tenth of the way towards a random other box and back.
    std::vector<OrientedBox> step(home);
    for (int i = 0; i < kLeaves; ++i) {
        step[i].setCentre(home[i].getCentre() + (away[i].getCentre() - home[i].getCentre()) * 0.1f);
    }
    int next = 0;
    bool out = true;
    for (auto _ : state) {
        const OrientedBox& box = out ? step[next] : home[next];
        if (reinsert) {
            space.remove(&leaf[next]);
            leaf[next].setWorldBox(box);
            space.insert(&leaf[next]);
        } else {
            leaf[next].setWorldBox(box);
        }
        if (++next == kLeaves) {
            next = 0;
            out = !out;
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["cells"] = static_cast<double>(space.getCells().getTotalSlots());
    removeAll(space, leaf.get());
}
BENCHMARK_CAPTURE(spaceMove, reinsert, true);
BENCHMARK_CAPTURE(spaceMove, setWorldBox, false);

}  // namespace
