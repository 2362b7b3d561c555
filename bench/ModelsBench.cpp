// The sample's model, written by nevrik_modelgen at two sizes: how long it
// takes to read (textures included) and to optimise, and what a frame of 35
// copies costs the CPU drawn mesh by mesh or through the compiled program.
// Run under a display (scripts/with-display.sh): loading makes textures and
// buffer objects, so a rendering context is made first.

#include "RenderingContext.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/ParameterBuffer.h"
#include "nevrik/graphics3d/loading/TextureManager.h"
#include "nevrik/graphics3d/loading/Translator3DS.h"
#include "nevrik/io/SystemFileFactory.h"

#include "graphics/MemoryStream.h"

#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace {

using namespace nevrik;
using graphics3d::Model;
using graphics3d::Translator3DS;
using nevrik::object::Pointer;

constexpr int kCopies = 35;  // 7 x 5, as the sample shows them

// The folder holding the model of about `triangles` triangles and its
// textures, generated on first use and removed when the program ends.
const std::string& modelFolder(std::int64_t triangles) {
    static std::map<std::int64_t, std::string> sFolders;
    std::string& folder = sFolders[triangles];
    if (folder.empty()) {
        char made[] = "/tmp/nevrik-models-bench-XXXXXX";
        if (mkdtemp(made) != nullptr) {
            folder = made;
            const std::string command = std::string("'") + NEVRIK_MODELGEN + "' --triangles " +
                                        std::to_string(triangles) + " --output " + folder + " > /dev/null";
            if (std::system(command.c_str()) != 0) {
                folder.clear();
            }
        }
        static const bool sCleanup = std::atexit([] {
                                         for (const auto& entry : sFolders) {
                                             if (!entry.second.empty()) {
                                                 std::filesystem::remove_all(entry.second);
                                             }
                                         }
                                     }) == 0;
        (void)sCleanup;
    }
    return folder;
}

// Reads the model the way the sample does: a fresh translator whose
// textures come from the model's own folder.
Pointer<Model> load(const std::string& folder, const std::string& bytes) {
    auto files = nevrik::object::make<io::SystemFileFactory>(folder.c_str());
    auto translator = nevrik::object::make<Translator3DS>();
    translator->setTextureManager(nevrik::object::make<graphics3d::TextureManager>(files.get()).get());
    testing::MemoryStream stream(bytes.data(), bytes.size());
    return translator->read(stream, Translator3DS::kWholeStream);
}

// The model file's bytes, or empty with the benchmark skipped.
std::string prepare(benchmark::State& state, std::int64_t triangles) {
    if (nevrik::bench::renderingContext(320, 240) == nullptr) {
        state.SkipWithError("no rendering context");
        return {};
    }
    const std::string& folder = modelFolder(triangles);
    std::ifstream in(folder + "/f5e_05.3ds", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (folder.empty() || bytes.empty()) {
        state.SkipWithError("the generator wrote no model");
    }
    return bytes;
}

void loadModel(benchmark::State& state) {
    const std::string bytes = prepare(state, state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(load(modelFolder(state.range(0)), bytes).get());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(loadModel)->Arg(10000)->Arg(100000)->ArgNames({"triangles"})->Unit(benchmark::kMillisecond);

void loadAndOptimise(benchmark::State& state) {
    const std::string bytes = prepare(state, state.range(0));
    for (auto _ : state) {
        const Pointer<Model> model = load(modelFolder(state.range(0)), bytes);
        model->setCompiled(model->optimise());
        benchmark::DoNotOptimize(model.get());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(loadAndOptimise)->Arg(10000)->Arg(100000)->ArgNames({"triangles"})->Unit(benchmark::kMillisecond);

// One frame: 35 copies on a 7 x 5 grid in front of the camera, then the
// blended meshes queued meanwhile; glFinish keeps frames from piling up.
void drawFrame(benchmark::State& state) {
    const std::string bytes = prepare(state, 10000);
    if (bytes.empty()) {
        return;
    }
    const Pointer<Model> model = load(modelFolder(10000), bytes);
    if (state.range(0) != 0) {
        model->setCompiled(model->optimise());
    }
    graphics3d::Context& context = *graphics3d::Context::current();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1.0, 1.0, -0.75, 0.75, 1.0, 2000.0);
    Pointer<graphics3d::ParameterBuffer> copies[kCopies];
    for (int i = 0; i < kCopies; ++i) {
        copies[i] = graphics3d::ParameterBuffer::create(&model->getParameterFormat());
        const float modelView[16] = {1, 0, 0, static_cast<float>(i % 7 - 3) * 60.0f,
                                     0, 1, 0, static_cast<float>(i / 7 - 2) * 60.0f,
                                     0, 0, 1, -400.0f,
                                     0, 0, 0, 1};
        std::memcpy(copies[i]->find(Model::kModelViewName), modelView, sizeof modelView);
    }
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (const Pointer<graphics3d::ParameterBuffer>& copy : copies) {
            model->render(*copy);
        }
        context.getDeferQueue().flush();
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * kCopies);
}
BENCHMARK(drawFrame)->Arg(0)->Arg(1)->ArgNames({"compiled"})->Unit(benchmark::kMillisecond);

}  // namespace
