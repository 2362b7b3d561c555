#include "CountingAllocator.h"
#include "RenderingContext.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/Model.h"
#include "nevrik/graphics3d/loading/TextureManager.h"
#include "nevrik/graphics3d/loading/Translator3DS.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/scene3d/GraphicsContext.h"
#include "nevrik/scene3d/ModelNode.h"
#include "nevrik/scene3d/PickTraverser.h"
#include "nevrik/scene3d/RenderTraverser.h"
#include "nevrik/scene3d/Universe.h"
#include "nevrik/scene3d/Viewer.h"

#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace nevrik::scene3d;
using namespace nevrik::graphics3d;
using nevrik::math::Matrix4;
using nevrik::math::Vector3;
using nevrik::object::Pointer;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// The generator's aircraft at about `triangles` triangles, read, optimised
// and given colliders as the sample does. Needs the rendering context;
// null when the generator or the reader fails.
Pointer<Model> generatedModel(std::int64_t triangles) {
    char folder[] = "/tmp/nevrik-scene-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        return {};
    }
    const std::string command = std::string("'") + NEVRIK_MODELGEN + "' --triangles " +
                                std::to_string(triangles) + " --output " + folder + " > /dev/null";
    Pointer<Model> model;
    if (std::system(command.c_str()) == 0) {
        try {
            auto files = nevrik::object::make<nevrik::io::SystemFileFactory>(folder);
            auto reader = nevrik::object::make<Translator3DS>();
            reader->setTextureManager(nevrik::object::make<TextureManager>(files.get()).get());
            model = reader->read(files->open("f5e_05.3ds", nevrik::io::File::kRead)->getInputStream(),
                                 Translator3DS::kWholeStream);
            if (model) {
                model->setCompiled(model->optimise());
                model->createColliders(true);
            }
        } catch (const nevrik::object::Exception&) {
            model.reset();
        }
    }
    std::filesystem::remove_all(folder);
    return model;
}

// A universe of one locale whose root holds a viewer at `eye` looking down
// -z, and whatever add() hangs beside it.
class Scene {
public:
    Scene(float nearDistance, float farDistance, const Vector3<float>& eye)
        : mUniverse(nevrik::object::make<Universe>()), mRoot(nevrik::object::make<Root>()), mViewer(nevrik::object::make<Viewer>()) {
        mUniverse->addLocale()->addRoot(mRoot.get());
        mViewer->setNear(nearDistance);
        mViewer->setFar(farDistance);
        Matrix4<float> transform;
        transform.setColumn(3, eye);
        mViewer->setLocalTransform(transform);
        mRoot->addChild(mViewer.get());
    }

    // Takes over the caller's reference on `node`.
    void add(Node* node) {
        mRoot->addChild(node);
        node->release();
    }

    Universe* universe() const { return mUniverse.get(); }
    Viewer* viewer() const { return mViewer.get(); }

private:
    Pointer<Universe> mUniverse;
    Pointer<Root> mRoot;
    Pointer<Viewer> mViewer;
};

// The fastest of the repetitions, beside Google Benchmark's mean, median and
// deviation: on a shared machine the other tenants only ever slow a run down.
double fastest(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

// The sample's scene at `state.range(0)` triangles per copy; null, the
// benchmark skipped, without a rendering context or a model. With
// `reference`, every mesh gets a fresh collider without its hierarchy, so
// picks run the per-triangle loop.
std::unique_ptr<Scene> sampleScene(benchmark::State& state, bool reference = false) {
    const Pointer<Model> model = nevrik::bench::renderingContext(kWidth, kHeight) != nullptr
                                     ? generatedModel(state.range(0))
                                     : nullptr;
    if (model && reference) {
        for (const Pointer<Mesh>& mesh : model->getMeshes()) {
            mesh->createCollider();
        }
    }
    if (!model) {
        state.SkipWithError("no rendering context or no model");
        return nullptr;
    }
    // 35 copies on a 7 x 5 grid 320 by 600 apart, seen from 400 up the z
    // axis with near 20 and far 4000.
    auto scene = std::make_unique<Scene>(20.0f, 4000.0f, Vector3<float>(0.0f, 0.0f, 400.0f));
    for (int i = -3; i <= 3; ++i) {
        for (int j = -2; j <= 2; ++j) {
            auto* node = new ModelNode(model.get());
            Matrix4<float> place;
            place.setColumn(
                3, Vector3<float>(static_cast<float>(i) * 320.0f, static_cast<float>(j) * 600.0f, 0.0f));
            node->setLocalTransform(place);
            scene->add(node);
        }
    }
    scene->universe()->update();
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

// 2000 seeded mouse positions over the view, as rays; `hits` keeps those
// that pick a node, otherwise those that do not.
std::vector<nevrik::geometry::Ray> seededRays(const Scene& scene, bool hits) {
    std::mt19937 random(2026);
    std::uniform_real_distribution<float> across(-1.0f, 1.0f);
    std::vector<nevrik::geometry::Ray> kept;
    for (int i = 0; i < 2000; ++i) {
        const nevrik::geometry::Ray ray = scene.viewer()->rayThrough(across(random), across(random));
        if ((PickTraverser(scene.universe()).pick(ray, nullptr) != nullptr) == hits) {
            kept.push_back(ray);
        }
    }
    return kept;
}

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
        nevrik::bench::renderingContext(kWidth, kHeight) != nullptr ? generatedModel(100000) : nullptr;
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
