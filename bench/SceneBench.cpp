#include "nevrik/graphics3d/Context.h"
#include "nevrik/graphics3d/IndexMesh.h"
#include "nevrik/graphics3d/StaticModel.h"
#include "nevrik/graphics3d/TypeWord.h"
#include "nevrik/platform/GlConfig.h"
#include "nevrik/platform/GlContext.h"
#include "nevrik/platform/NativeWindow.h"
#include "nevrik/scene3d/GraphicsContext.h"
#include "nevrik/scene3d/ModelNode.h"
#include "nevrik/scene3d/PickTraverser.h"
#include "nevrik/scene3d/RenderTraverser.h"
#include "nevrik/scene3d/Universe.h"
#include "nevrik/scene3d/Viewer.h"

#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>

namespace {

using namespace nevrik::scene3d;
using namespace nevrik::graphics3d;
using nevrik::math::Matrix4;
using nevrik::math::Vector3;
using nevrik::object::Pointer;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// A bumpy sheet of about `triangles` triangles, 280 x 520 units like the
// sample's aircraft, as one indexed triangle list with 16-bit indices, made
// ready for picking.
Pointer<StaticModel> makeModel(std::int64_t triangles) {
    std::uint32_t side = 2;
    while (2 * std::int64_t{side - 1} * (side - 1) < triangles) {
        ++side;
    }
    VertexFormat format;
    format.add(TypeWord::kFloat3, Context::kPositionArray);
    auto vertices =
        Pointer<VertexBuffer>::adopt(VertexBuffer::create(format, side * side, VertexBuffer::kStatic));
    vertices->lock(VertexBuffer::kReplace);
    const float step = 1.0f / static_cast<float>(side - 1);
    for (std::uint32_t y = 0; y < side; ++y) {
        for (std::uint32_t x = 0; x < side; ++x) {
            const float u = static_cast<float>(x) * step;
            const float v = static_cast<float>(y) * step;
            const float xyz[3] = {280.0f * (u - 0.5f), 520.0f * (v - 0.5f),
                                  15.0f * std::sin(u * 19.0f) * std::cos(v * 13.0f)};
            std::memcpy(vertices->getData() + (y * side + x) * sizeof xyz, xyz, sizeof xyz);
        }
    }
    vertices->unlock();
    // Two triangles per grid square: corners 0-1-3 and 0-3-2 of the square
    // whose lower left vertex is `base`.
    const std::uint32_t squares = (side - 1) * (side - 1);
    auto indices = Pointer<IndexBuffer>::adopt(IndexBuffer::create(2, 6 * squares, VertexBuffer::kStatic));
    indices->lock(VertexBuffer::kReplace);
    auto* out = reinterpret_cast<std::uint16_t*>(indices->getData());
    const std::uint32_t offsets[6] = {0, 1, side + 1, 0, side + 1, side};
    for (std::uint32_t square = 0; square < squares; ++square) {
        const std::uint32_t base = square / (side - 1) * side + square % (side - 1);
        for (std::uint32_t offset : offsets) {
            *out++ = static_cast<std::uint16_t>(base + offset);
        }
    }
    indices->unlock();
    auto mesh = Pointer<IndexMesh>::adopt(new IndexMesh());
    mesh->setVertexBuffer(vertices.get(), 0);
    mesh->setIndexBuffer(indices.get());
    mesh->updateBounds();
    auto model = Pointer<StaticModel>::adopt(new StaticModel());
    model->addMesh(mesh.get());
    model->complete();
    model->createColliders(true);
    return model;
}

// The sample's scene: 35 copies of the model on a 7 x 5 grid 320 by 600
// apart, seen from 400 units up the z axis with near 20 and far 4000.
class Scene {
public:
    explicit Scene(StaticModel* model) : mUniverse(Pointer<Universe>::adopt(new Universe())) {
        auto* locale = new Locale(mUniverse.get());
        auto root = Pointer<Root>::adopt(new Root());
        locale->addRoot(root.get());
        mViewer = Pointer<Viewer>::adopt(new Viewer());
        mViewer->setNear(20.0f);
        mViewer->setFar(4000.0f);
        Matrix4<float> eye;
        eye.setColumn(3, Vector3<float>(0.0f, 0.0f, 400.0f));
        mViewer->setLocalTransform(eye);
        root->addChild(mViewer.get());
        for (int i = -3; i <= 3; ++i) {
            for (int j = -2; j <= 2; ++j) {
                auto node = Pointer<ModelNode>::adopt(new ModelNode(model));
                Matrix4<float> place;
                place.setColumn(3, Vector3<float>(static_cast<float>(i) * 320.0f, static_cast<float>(j) * 600.0f,
                                                  0.0f));
                node->setLocalTransform(place);
                node->markDirty();
                root->addChild(node.get());
            }
        }
        mUniverse->update();
    }

    Universe* universe() const { return mUniverse.get(); }
    Viewer* viewer() const { return mViewer.get(); }

private:
    Pointer<Universe> mUniverse;
    Pointer<Viewer> mViewer;
};

// Rays through a 32 x 24 grid of mouse positions over the 640 x 480 view,
// as the sample casts one per frame.
void pick(benchmark::State& state) {
    const Pointer<StaticModel> model = makeModel(state.range(0));
    const Scene scene(model.get());
    std::int64_t rays = 0;
    std::int64_t hits = 0;
    for (auto _ : state) {
        for (int my = 0; my < kHeight; my += kHeight / 24) {
            for (int mx = 0; mx < kWidth; mx += kWidth / 32) {
                const float x = (static_cast<float>(mx) - kWidth / 2.0f) / (kWidth / 2.0f);
                const float y = (static_cast<float>(my) - kHeight / 2.0f) / (kHeight / 2.0f);
                PickTraverser traverser(scene.universe());
                nevrik::geometry::PickResult result;
                hits += traverser.pick(scene.viewer()->rayThrough(x, y), &result) != nullptr ? 1 : 0;
                ++rays;
            }
        }
    }
    state.SetItemsProcessed(rays);
    state.counters["hitRatio"] = rays > 0 ? static_cast<double>(hits) / static_cast<double>(rays) : 0.0;
}
BENCHMARK(pick)->ArgName("triangles")->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A window of this thread with a rendering context current on it, for the
// whole program.
Context* renderingContext() {
    static Context* sContext = [] () -> Context* {
        auto* window = new nevrik::platform::NativeWindow();
        auto* config = new nevrik::platform::GlConfig();
        nevrik::platform::PixelFormat format;
        format.depthBits = 16;
        if (!window->create(nullptr, 0, 0, kWidth, kHeight, "scene bench", nullptr, {}) ||
            !config->choose(*window, format)) {
            return nullptr;
        }
        auto* view = new nevrik::platform::NativeWindow();
        if (!view->create(nullptr, 0, 0, kWidth, kHeight, "scene bench view", config, {})) {
            return nullptr;
        }
        void* rendering = nevrik::platform::GlContext::create(*view, *config);
        if (rendering == nullptr ||
            !nevrik::platform::GlContext::makeCurrent({view->getConnection(), view->getId(), rendering})) {
            return nullptr;
        }
        return Context::current();
    }();
    return sContext;
}

// One frame's render traversal of the sample's scene: culling, the
// parameter fill of each visible node and its model's draw calls. The GPU
// work (glFinish) stays outside the timing.
void renderTraversal(benchmark::State& state) {
    Context* context = renderingContext();
    if (context == nullptr) {
        state.SkipWithError("no X display or rendering context");
        return;
    }
    const Pointer<StaticModel> model = makeModel(state.range(0));
    const Scene scene(model.get());
    GraphicsContext graphics(context);
    for (auto _ : state) {
        RenderTraverser traverser(scene.universe(), &graphics);
        traverser.traverse(scene.viewer());
        state.PauseTiming();
        glFinish();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(renderTraversal)->ArgName("triangles")->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
