// The sample's model, written by nevrik_modelgen at two sizes: how long it
// takes to read (textures included) and to optimise, and what a frame of 35
// copies costs the CPU drawn mesh by mesh or through the compiled program.
// Then one 100,000-triangle model written as 3DS, OBJ, glTF and binary glTF:
// how long each reader takes over the same geometry.
// Run under a display (scripts/with-display.sh): loading makes textures and
// buffer objects, so a rendering context is made first.

#include "RenderingContext.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/ParameterBuffer.h"
#include "nevrik/graphics3d/loading/TextureManager.h"
#include "nevrik/graphics3d/loading/Translator3DS.h"
#include "nevrik/graphics3d/loading/TranslatorGLTF.h"
#include "nevrik/graphics3d/loading/TranslatorOBJ.h"
#include "nevrik/io/SystemFileFactory.h"

#include "graphics/MemoryStream.h"
#include "graphics3d/Chunks3DS.h"
#include "graphics3d/GltfFiles.h"

#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

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

// Two grids of 125 x 200 quads (50,000 triangles each, so that a 3DS object
// can hold one) over a wavy surface: positions and triangle corners.
struct Grid {
    static constexpr int kObjects = 2;
    static constexpr int kColumns = 125;
    static constexpr int kRows = 200;
    static constexpr int kVertices = (kColumns + 1) * (kRows + 1);

    Grid() {
        for (int object = 0; object < kObjects; ++object) {
            for (int row = 0; row <= kRows; ++row) {
                for (int column = 0; column <= kColumns; ++column) {
                    const float x = static_cast<float>(column + object * (kColumns + 2));
                    const float y = static_cast<float>(row);
                    positions.insert(positions.end(), {x, y, std::sin(x * 0.1f) * std::cos(y * 0.1f)});
                }
            }
            for (int row = 0; row < kRows; ++row) {
                for (int column = 0; column < kColumns; ++column) {
                    const auto corner = static_cast<std::uint32_t>(row * (kColumns + 1) + column);
                    const std::uint32_t above = corner + kColumns + 1;
                    corners.insert(corners.end(), {corner, corner + 1, above + 1, corner, above + 1, above});
                }
            }
        }
    }

    // The objects one after the other; an object's corners count from its
    // own first vertex, as 3DS and glTF count them.
    std::vector<float> positions;
    std::vector<std::uint32_t> corners;
};

enum Format { k3DS, kOBJ, kGLTF, kGLB };

std::string gridFile(Format format) {
    const Grid grid;
    const std::size_t floats = 3 * Grid::kVertices;
    const std::size_t perObject = grid.corners.size() / Grid::kObjects;
    if (format == k3DS) {
        std::string objects;
        for (int object = 0; object < Grid::kObjects; ++object) {
            std::string vertices;
            for (std::size_t i = 0; i < floats; ++i) {
                vertices += graphics3d::chunks::f32(grid.positions[object * floats + i]);
            }
            std::string faces;
            for (std::size_t i = object * perObject; i < (object + 1) * perObject; i += 3) {
                faces +=
                    graphics3d::chunks::words({grid.corners[i], grid.corners[i + 1], grid.corners[i + 2], 0});
            }
            objects += graphics3d::chunks::meshObject(
                graphics3d::chunks::vertexList(Grid::kVertices, vertices) +
                graphics3d::chunks::faceList(static_cast<std::uint32_t>(perObject / 3), faces));
        }
        return graphics3d::chunks::mainChunk(graphics3d::chunks::editor(objects));
    }
    if (format == kOBJ) {
        std::ostringstream text;
        for (std::size_t i = 0; i < grid.positions.size(); i += 3) {
            text << "v " << grid.positions[i] << ' ' << grid.positions[i + 1] << ' ' << grid.positions[i + 2]
                 << '\n';
        }
        for (std::size_t i = 0; i < grid.corners.size(); i += 3) {
            const std::size_t base = i / perObject * Grid::kVertices + 1;
            text << "f " << grid.corners[i] + base << ' ' << grid.corners[i + 1] + base << ' '
                 << grid.corners[i + 2] + base << '\n';
        }
        return text.str();
    }
    graphics3d::gltf::Builder file;
    std::string primitives;
    for (int object = 0; object < Grid::kObjects; ++object) {
        const int position = file.floats(std::vector<float>(grid.positions.begin() + object * floats,
                                                            grid.positions.begin() + (object + 1) * floats),
                                         3);
        const int indices =
            file.indices(std::vector<std::uint32_t>(grid.corners.begin() + object * perObject,
                                                    grid.corners.begin() + (object + 1) * perObject),
                         graphics3d::gltf::kUnsignedShort);
        primitives += std::string(object > 0 ? "," : "") +
                      "{\"attributes\":{\"POSITION\":" + std::to_string(position) +
                      "},\"indices\":" + std::to_string(indices) + "}";
    }
    const std::string rest = graphics3d::gltf::oneMesh(primitives);
    return format == kGLB ? file.glb(rest) : file.json(rest);
}

// Reads the same 100,000 triangles from memory as 3DS, OBJ, glTF (buffer in
// a data URI) and binary glTF, each with a fresh reader.
void loadFormat(benchmark::State& state) {
    if (nevrik::bench::renderingContext(320, 240) == nullptr) {
        state.SkipWithError("no rendering context");
        return;
    }
    const auto format = static_cast<Format>(state.range(0));
    const std::string bytes = gridFile(format);
    for (auto _ : state) {
        Pointer<graphics3d::ModelTranslator> translator;
        if (format == k3DS) {
            translator = nevrik::object::make<Translator3DS>();
        } else if (format == kOBJ) {
            translator = nevrik::object::make<graphics3d::TranslatorOBJ>();
        } else {
            translator = nevrik::object::make<graphics3d::TranslatorGLTF>();
        }
        testing::MemoryStream stream(bytes.data(), bytes.size());
        const Pointer<Model> model = translator->read(stream, Translator3DS::kWholeStream);
        if (!model || model->getMeshes().getCount() == 0) {
            state.SkipWithError("the model did not load");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * Grid::kObjects * Grid::kColumns * Grid::kRows * 2);
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(loadFormat)
    ->Arg(k3DS)
    ->Arg(kOBJ)
    ->Arg(kGLTF)
    ->Arg(kGLB)
    ->ArgNames({"format"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
