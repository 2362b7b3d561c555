#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/IndexMesh.h"
#include "nevrik/graphics3d/core/TypeWord.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>

namespace {

using nevrik::graphics3d::Context;
using nevrik::graphics3d::IndexBuffer;
using nevrik::graphics3d::IndexMesh;
using nevrik::graphics3d::TypeWord;
using nevrik::graphics3d::VertexBuffer;
using nevrik::graphics3d::VertexFormat;
using nevrik::object::Pointer;

constexpr std::uint32_t kSide = 256;  // 256 x 256 vertices, 130,050 triangles, 16-bit indices

// A bumpy height field as one indexed triangle list with normals beside the
// positions. No GL context is made, so the buffers live in client memory and
// the numbers are those of the mesh code alone.
Pointer<IndexMesh> makeField() {
    VertexFormat format;
    format.add(TypeWord::kFloat3, VertexFormat::kPositionArray);
    format.add(TypeWord::kFloat3, VertexFormat::kNormalArray);
    auto vertices = VertexBuffer::create(format, kSide * kSide, VertexBuffer::kStatic);
    vertices->lock(VertexBuffer::kReplace);
    for (std::uint32_t y = 0; y < kSide; ++y) {
        for (std::uint32_t x = 0; x < kSide; ++x) {
            const float xyz[6] = {
                static_cast<float>(x),
                static_cast<float>(y),
                std::sin(static_cast<float>(x) * 0.3f) * std::cos(static_cast<float>(y) * 0.2f),
                0.0f,
                0.0f,
                1.0f};
            std::memcpy(vertices->getData() + (y * kSide + x) * sizeof xyz, xyz, sizeof xyz);
        }
    }
    vertices->unlock();
    const std::uint32_t cells = (kSide - 1) * (kSide - 1);
    auto indices = IndexBuffer::create(2, 6 * cells, VertexBuffer::kStatic);
    indices->lock(VertexBuffer::kReplace);
    auto* out = reinterpret_cast<std::uint16_t*>(indices->getData());
    for (std::uint32_t y = 0; y + 1 < kSide; ++y) {
        for (std::uint32_t x = 0; x + 1 < kSide; ++x) {
            const auto corner = [](std::uint32_t cx, std::uint32_t cy) {
                return static_cast<std::uint16_t>(cy * kSide + cx);
            };
            for (std::uint16_t index : {corner(x, y), corner(x + 1, y), corner(x + 1, y + 1), corner(x, y),
                                        corner(x + 1, y + 1), corner(x, y + 1)}) {
                *out++ = index;
            }
        }
    }
    indices->unlock();
    auto mesh = nevrik::object::make<IndexMesh>();
    mesh->setVertexBuffer(vertices.get(), 0);
    mesh->setIndexBuffer(indices.get());
    return mesh;
}

void triangleMesh(benchmark::State& state) {
    const Pointer<IndexMesh> mesh = makeField();
    for (auto _ : state) {
        Pointer<nevrik::geometry::TriangleMesh3<float>> made = mesh->createTriangleMesh();
        benchmark::DoNotOptimize(made.get());
    }
    state.SetItemsProcessed(state.iterations() * mesh->getIndexBuffer()->getIndexCount() / 3);
}
BENCHMARK(triangleMesh)->Unit(benchmark::kMillisecond);

void bounds(benchmark::State& state) {
    const Pointer<IndexMesh> mesh = makeField();
    for (auto _ : state) {
        benchmark::DoNotOptimize(mesh->updateBounds());
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(bounds)->Unit(benchmark::kMillisecond);

// Whole index buffer: a straight copy. Half of it: every index renumbered.
void collider(benchmark::State& state) {
    const Pointer<IndexMesh> mesh = makeField();
    const std::uint32_t count = mesh->getIndexBuffer()->getIndexCount();
    if (state.range(0) != 0) {
        mesh->setRange(0, count / 2);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(mesh->createCollider());
    }
    state.SetItemsProcessed(state.iterations() * (state.range(0) != 0 ? count / 2 : count));
}
BENCHMARK(collider)->Arg(0)->Arg(1)->ArgNames({"subRange"})->Unit(benchmark::kMillisecond);

}  // namespace
