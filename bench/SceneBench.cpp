#include "CountingAllocator.h"
#include "RenderingContext.h"
#include "SampleScene.h"
#include "nevrik/geometry/Primitive.h"
#include "nevrik/scene3d/GraphicsContext.h"
#include "nevrik/scene3d/PickTraverser.h"
#include "nevrik/scene3d/RenderTraverser.h"

#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using namespace nevrik::scene3d;
using namespace nevrik::graphics3d;
using nevrik::math::Matrix4;
using nevrik::math::Vector3;
using nevrik::bench::Scene;
using nevrik::bench::seededRays;
using nevrik::object::Pointer;

constexpr int kWidth = nevrik::bench::kViewWidth;
constexpr int kHeight = nevrik::bench::kViewHeight;

// The fastest of the repetitions, beside Google Benchmark's mean, median and
// deviation: on a shared machine the other tenants only ever slow a run down.
double fastest(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

// The sample's scene at `state.range(0)` triangles per copy (see
// sampleScene); null, the benchmark skipped, without a rendering context or
// a model.
std::unique_ptr<Scene> sampleScene(benchmark::State& state, bool reference = false) {
    std::unique_ptr<Scene> scene = nevrik::bench::sampleScene(state.range(0), reference);
    if (!scene) {
        state.SkipWithError("no rendering context or no model");
    }
    return scene;
}

// Rays through a 32 x 24 grid of mouse positions over the 640 x 480 view,
// as the sample casts one per frame.
void pick(benchmark::State& state) {
    const std::unique_ptr<Scene> scene = sampleScene(state);
    if (!scene) {
        return;
    }
    std::int64_t rays = 0;
    std::int64_t hits = 0;
    for (auto _ : state) {
        for (int my = 0; my < kHeight; my += kHeight / 24) {
            for (int mx = 0; mx < kWidth; mx += kWidth / 32) {
                const float x = (static_cast<float>(mx) - kWidth / 2.0f) / (kWidth / 2.0f);
                const float y = (static_cast<float>(my) - kHeight / 2.0f) / (kHeight / 2.0f);
                PickTraverser traverser(scene->universe());
                nevrik::geometry::PickResult result;
                hits += traverser.pick(scene->viewer()->rayThrough(x, y), &result) != nullptr ? 1 : 0;
                ++rays;
            }
        }
    }
    state.SetItemsProcessed(rays);
    state.counters["hitRatio"] = rays > 0 ? static_cast<double>(hits) / static_cast<double>(rays) : 0.0;
}
BENCHMARK(pick)->ArgName("triangles")->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Picks of seeded rays through the sample's scene, hit rays and miss rays
// apart: range(1) 1 keeps the hits; range(2) 1 walks the hierarchies, 0 runs
// the per-triangle loop instead. Reports the time per ray and the heap
// allocations per pick.
void pickSeeded(benchmark::State& state) {
    const bool reference = state.range(2) == 0;
    const std::unique_ptr<Scene> scene = sampleScene(state, reference);
    if (!scene) {
        return;
    }
    const std::vector<nevrik::geometry::Ray> rays = seededRays(*scene, state.range(1) != 0);
    if (rays.empty()) {
        state.SkipWithError("no rays of that kind");
        return;
    }
    const std::int64_t allocationsBefore = nevrik::bench::allocationCount();
    for (auto _ : state) {
        for (const nevrik::geometry::Ray& ray : rays) {
            PickTraverser traverser(scene->universe());
            nevrik::geometry::PickResult result;
            benchmark::DoNotOptimize(traverser.pick(ray, &result));
        }
    }
    const auto picks = static_cast<double>(state.iterations()) * static_cast<double>(rays.size());
    state.counters["rays"] = static_cast<double>(rays.size());
    state.counters["perRay"] =
        benchmark::Counter(static_cast<double>(rays.size()),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["allocationsPerPick"] =
        static_cast<double>(nevrik::bench::allocationCount() - allocationsBefore) / picks;
}
BENCHMARK(pickSeeded)
    ->ArgNames({"triangles", "hits", "hierarchy"})
    ->ArgsProduct({{10000, 100000}, {1, 0}, {1, 0}})
    ->ComputeStatistics("min", fastest)
    ->Unit(benchmark::kMicrosecond);

// Building the colliders of the 100,000-triangle model: range(0) 0 copies
// the vertices and indices only, as every mesh's createCollider does; 1 runs
// Model::createColliders, which also builds each hierarchy. Reports the
// hierarchy's bytes per triangle.
void buildColliders(benchmark::State& state) {
    const Pointer<Model> model =
        nevrik::bench::renderingContext(kWidth, kHeight) != nullptr ? nevrik::bench::generatedModel(100000) : nullptr;
    if (!model) {
        state.SkipWithError("no rendering context or no model");
        return;
    }
    for (auto _ : state) {
        if (state.range(0) == 0) {
            for (const Pointer<Mesh>& mesh : model->getMeshes()) {
                mesh->createCollider();
            }
        } else {
            model->createColliders(true);
        }
    }
    double triangles = 0.0;
    double bytes = 0.0;
    for (const Pointer<Mesh>& mesh : model->getMeshes()) {
        const nevrik::geometry::MeshCollider3<float>* collider = mesh->getCollider();
        if (collider == nullptr) {
            continue;
        }
        const int entries = collider->getIndices().isEmpty() ? collider->getVertices().getCount()
                                                             : collider->getIndices().getCount();
        nevrik::geometry::Primitive::forEachTriangle(collider->getPrimitive(), entries, [&](int, int, int) {
            triangles += 1.0;
            return true;
        });
        bytes += static_cast<double>(collider->getHierarchySize());
    }
    state.counters["triangles"] = triangles;
    state.counters["hierarchyBytesPerTriangle"] = triangles > 0.0 ? bytes / triangles : 0.0;
}
BENCHMARK(buildColliders)
    ->ArgName("hierarchy")
    ->Arg(0)
    ->Arg(1)
    ->ComputeStatistics("min", fastest)
    ->Unit(benchmark::kMillisecond);

// One frame's render traversal of the sample's scene: culling, the
// parameter fill of each visible node and its model's draw calls. The GPU
// work (glFinish) stays outside the timing.
void renderTraversal(benchmark::State& state) {
    const std::unique_ptr<Scene> scene = sampleScene(state);
    if (!scene) {
        return;
    }
    GraphicsContext graphics(nevrik::bench::renderingContext(kWidth, kHeight));
    for (auto _ : state) {
        RenderTraverser traverser(scene->universe(), &graphics);
        traverser.traverse(scene->viewer());
        state.PauseTiming();
        glFinish();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(renderTraversal)->ArgName("triangles")->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// A leaf that only counts its draws, so that the traversal's own cost shows.
class Counter : public Graphics {
public:
    explicit Counter(const Vector3<float>& centre) : Graphics(KIND_GRAPHICS) {
        nevrik::geometry::OrientedBox box;
        box.setCentre(centre);
        setLocalBox(box);
    }
    void render(GraphicsContext*, const Matrix4<float>&) override { ++sDraws; }
    bool pick(const nevrik::geometry::Ray&, nevrik::geometry::PickResult*) override { return false; }
    static inline std::int64_t sDraws = 0;
};

// Culling alone: a cube of 20 x 20 x 20 counting leaves, 10 apart, seen from
// one corner, without draw calls.
void cull(benchmark::State& state) {
    if (nevrik::bench::renderingContext(kWidth, kHeight) == nullptr) {
        state.SkipWithError("no rendering context");
        return;
    }
    Scene scene(5.0f, 200.0f, Vector3<float>(100.0f, 100.0f, 250.0f));
    for (int i = 0; i < 8000; ++i) {
        scene.add(new Counter(Vector3<float>(static_cast<float>(i % 20) * 10.0f,
                                             static_cast<float>(i / 20 % 20) * 10.0f,
                                             static_cast<float>(i / 400) * 10.0f)));
    }
    scene.universe()->update();
    GraphicsContext graphics(nevrik::bench::renderingContext(kWidth, kHeight));
    Counter::sDraws = 0;
    for (auto _ : state) {
        RenderTraverser(scene.universe(), &graphics).traverse(scene.viewer());
    }
    state.counters["drawn"] = static_cast<double>(Counter::sDraws) / static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations() * 8000);
}
BENCHMARK(cull)->Unit(benchmark::kMicrosecond);

}  // namespace
