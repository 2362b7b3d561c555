#include "nevrik/geometry/MeshCollider3.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

using nevrik::geometry::MeshCollider3;
using nevrik::geometry::PickResult;
using nevrik::geometry::Primitive;
using nevrik::geometry::Ray;
using Vec = nevrik::math::Vector3<float>;

constexpr int kGrid = 224;  // 224 × 224 cells of two triangles: 100,352 triangles

// A bumpy height field over [0, kGrid]² as an indexed triangle list: the shape
// of a terrain or a large model seen from above. With `hierarchy`, built.
MeshCollider3<float> makeHeightField(bool hierarchy) {
    MeshCollider3<float> made;
    for (int y = 0; y <= kGrid; ++y) {
        for (int x = 0; x <= kGrid; ++x) {
            const float height = std::sin(x * 0.3f) * std::cos(y * 0.2f);
            made.getVertices().add(Vec(static_cast<float>(x), static_cast<float>(y), height));
        }
    }
    auto corner = [](int x, int y) { return static_cast<unsigned int>(y * (kGrid + 1) + x); };
    for (int y = 0; y < kGrid; ++y) {
        for (int x = 0; x < kGrid; ++x) {
            for (unsigned int i : {corner(x, y), corner(x + 1, y), corner(x + 1, y + 1), corner(x, y),
                                   corner(x + 1, y + 1), corner(x, y + 1)}) {
                made.getIndices().add(i);
            }
        }
    }
    made.setPrimitive(Primitive::kTriangles);
    if (hierarchy) {
        made.build();
    }
    return made;
}

// Slanted rays from above; `hit` aims them inside the field, otherwise beside it.
std::vector<Ray> rays(bool hit) {
    std::mt19937 random(hit ? 1 : 2);
    std::uniform_real_distribution<float> inside(0.0f, static_cast<float>(kGrid));
    std::vector<Ray> made;
    for (int i = 0; i < 256; ++i) {
        const Vec target(inside(random) + (hit ? 0.0f : 2.0f * kGrid), inside(random), 0.0f);
        const Vec origin = target + Vec(-5.0f, 3.0f, 50.0f);
        made.emplace_back(origin, target - origin);
    }
    return made;
}

// range(0) 1 walks the hierarchy, 0 runs the per-triangle loop.
void intersectRay(benchmark::State& state, bool hit) {
    static const MeshCollider3<float> reference = makeHeightField(false);
    static const MeshCollider3<float> built = makeHeightField(true);
    const MeshCollider3<float>& collider = state.range(0) != 0 ? built : reference;
    const std::vector<Ray> batch = rays(hit);
    std::size_t next = 0;
    PickResult result;
    for (auto _ : state) {
        benchmark::DoNotOptimize(collider.intersectRay(batch[next], &result));
        next = (next + 1) % batch.size();
    }
    state.counters["triangles"] = static_cast<double>(collider.getIndices().getCount() / 3);
    state.SetItemsProcessed(state.iterations() * (collider.getIndices().getCount() / 3));
}

void BM_IntersectRayHits(benchmark::State& state) {
    intersectRay(state, true);
}
void BM_IntersectRayMisses(benchmark::State& state) {
    intersectRay(state, false);
}

BENCHMARK(BM_IntersectRayHits)->ArgName("hierarchy")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IntersectRayMisses)->ArgName("hierarchy")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
