#include "nevrik/graphics3d/building/Optimiser.h"

#include "nevrik/container/Map.h"
#include "nevrik/graphics3d/building/MeshMerger.h"
#include "nevrik/graphics3d/core/Appearance.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/IndexMesh.h"
#include "nevrik/graphics3d/core/VertexMesh.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace nevrik::graphics3d {
namespace {

constexpr int kUnits = Appearance::kTextureUnits;
constexpr int kBits = VertexBuffer::kComponentBits;

// The items a drawable mesh draws: indices of an index mesh, vertices of a
// vertex mesh.
struct Range {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
};

// The range `mesh` draws; false when it draws nothing: no buffers, no
// items, or a range outside them. The count of a vertex mesh is the fewest
// vertices of its buffers, since drawing more would read past the shortest.
bool rangeOf(const VertexMesh& mesh, Range& range) noexcept {
    if (mesh.getBufferCount() == 0) {
        return false;
    }
    std::uint32_t total = mesh.getVertexCount();
    if (const auto* indexMesh = dynamic_cast<const IndexMesh*>(&mesh)) {
        if (indexMesh->getIndexBuffer() == nullptr) {
            return false;
        }
        total = indexMesh->getIndexBuffer()->getIndexCount();
    }
    const std::uint32_t start = mesh.getRangeStart();
    const std::uint32_t end = mesh.getRangeEnd();
    if (start == end) {
        range = {0, total};
    } else if (start < end && end <= total) {
        range = {start, end - start};
    } else {
        return false;
    }
    return range.count > 0;
}

// A job without a state of an inherited category takes the running one; a
// job with one makes it the running one.
template <class T>
void inherit(object::Pointer<T>& state, object::Pointer<T>& running) noexcept {
    if (state) {
        running = state;
    } else {
        state = running;
    }
}

// The sort keys of a job in order: object addresses, then first and
// primitive.
using Keys = std::array<std::uintptr_t, 1 + kUnits + 6 + kBits + 2>;

template <class T>
std::uintptr_t addressOf(const object::Pointer<T>& pointer) noexcept {
    return reinterpret_cast<std::uintptr_t>(pointer.get());
}

Keys keysOf(const Job& job) noexcept {
    Keys keys{};
    std::size_t k = 0;
    keys[k++] = addressOf(job.shader);
    for (const auto& texture : job.textures) {
        keys[k++] = addressOf(texture);
    }
    keys[k++] = addressOf(job.blendMode);
    keys[k++] = addressOf(job.stencilMode);
    keys[k++] = addressOf(job.depthMode);
    keys[k++] = addressOf(job.polygonMode);
    keys[k++] = addressOf(job.material);
    keys[k++] = addressOf(job.indexBuffer);
    for (const auto& buffer : job.vertexBuffers) {
        keys[k++] = addressOf(buffer);
    }
    keys[k++] = job.first;
    keys[k] = job.primitive;
    return keys;
}

// Gives `appearance` the state `field` of `job` when `all` is set or the
// state differs from `before`'s.
template <class T>
void carry(Appearance& appearance, void (Appearance::*set)(T*), object::Pointer<T> Job::*field,
           const Job& job, const Job& before, bool all) {
    if (all || before.*field != job.*field) {
        (appearance.*set)((job.*field).get());
    }
}

// The appearance of the mesh rebuilt from `job`: each state of the job, or
// unless `always` only those that differ from `previous`'s; the context's
// default polygon mode when the job has none.
object::Pointer<Appearance> appearanceOf(const Job& job, const Job* previous, bool always, Context* context) {
    auto appearance = object::make<Appearance>();
    const bool all = always || previous == nullptr;
    const Job& before = previous != nullptr ? *previous : job;
    carry(*appearance, &Appearance::setMaterial, &Job::material, job, before, all);
    carry(*appearance, &Appearance::setShader, &Job::shader, job, before, all);
    carry(*appearance, &Appearance::setBlendMode, &Job::blendMode, job, before, all);
    carry(*appearance, &Appearance::setStencilMode, &Job::stencilMode, job, before, all);
    carry(*appearance, &Appearance::setDepthMode, &Job::depthMode, job, before, all);
    carry(*appearance, &Appearance::setPolygonMode, &Job::polygonMode, job, before, all);
    if (!job.polygonMode && context != nullptr) {
        appearance->setPolygonMode(&context->getDefaultPolygonMode());
    }
    for (int unit = 0; unit < kUnits; ++unit) {
        if (all || before.textures[unit] != job.textures[unit]) {
            appearance->setTexture(unit, job.textures[unit].get());
        }
    }
    return appearance;
}

}  // namespace

Optimiser::~Optimiser() = default;

bool Optimiser::add(Mesh* mesh) {
    if (mesh == nullptr) {
        return false;
    }
    const auto* vertexMesh = dynamic_cast<const VertexMesh*>(mesh);
    if (vertexMesh == nullptr) {
        return addJob(*mesh);
    }
    Range range;
    if (!rangeOf(*vertexMesh, range)) {
        return false;
    }
    const bool indexed = dynamic_cast<const IndexMesh*>(mesh) != nullptr;
    if (range.count <= (indexed ? mSplitter.getMaxIndices() : mSplitter.getMaxVertices())) {
        return addJob(*mesh);
    }
    bool added = false;
    for (const object::Pointer<Mesh>& piece : mSplitter.split(*mesh)) {
        added = addJob(*piece) || added;
    }
    return added;
}

bool Optimiser::addJob(Mesh& mesh) {
    Job job;
    job.primitive = mesh.getPrimitive();
    if (const auto* vertexMesh = dynamic_cast<const VertexMesh*>(&mesh)) {
        Range range;
        if (!rangeOf(*vertexMesh, range)) {
            return false;
        }
        job.first = range.first;
        job.count = range.count;
        for (int slot = 0; slot < vertexMesh->getBufferCount(); ++slot) {
            VertexBuffer* buffer = vertexMesh->getVertexBuffer(slot);
            for (int bit = 0; buffer != nullptr && bit < kBits; ++bit) {
                if ((buffer->getComponentMask() >> bit & 1u) != 0) {
                    job.vertexBuffers[bit].reset(buffer);
                }
            }
        }
        if (const auto* indexMesh = dynamic_cast<const IndexMesh*>(vertexMesh)) {
            job.indexBuffer.reset(indexMesh->getIndexBuffer());
        }
    } else {
        job.mesh.reset(&mesh);
    }
    if (const Appearance* appearance = mesh.getAppearance()) {
        job.material.reset(appearance->getMaterial());
        job.shader.reset(appearance->getShader());
        job.blendMode.reset(appearance->getBlendMode());
        job.stencilMode.reset(appearance->getStencilMode());
        job.depthMode.reset(appearance->getDepthMode());
        job.polygonMode.reset(appearance->getPolygonMode());
        for (int unit = 0; unit < kUnits; ++unit) {
            job.textures[unit].reset(appearance->getTexture(unit));
        }
    }
    inherit(job.material, mMaterial);
    inherit(job.shader, mShader);
    inherit(job.blendMode, mBlendMode);
    inherit(job.stencilMode, mStencilMode);
    inherit(job.depthMode, mDepthMode);
    inherit(job.polygonMode, mPolygonMode);
    mJobs.add(std::move(job));
    return true;
}

void Optimiser::process() {
    std::sort(mJobs.begin(), mJobs.end(), [](const Job& a, const Job& b) { return keysOf(a) < keysOf(b); });
    merge();
}

void Optimiser::merge() {
    MeshMerger merger;
    // Indices are rebased for the tuple they were registered with; a job
    // drawing the same index buffer from other vertices keeps its own.
    container::Map<IndexBuffer*, MeshMerger::Tuple> indexTuples;
    container::Array<bool> merged(mJobs.getCount());
    for (int i = 0; i < mJobs.getCount(); ++i) {
        const Job& job = mJobs[i];
        if (job.mesh) {
            continue;
        }
        const MeshMerger::Tuple tuple = MeshMerger::makeTuple(job.vertexBuffers);
        if (!merger.registerVertices(tuple)) {
            continue;
        }
        if (IndexBuffer* indexBuffer = job.indexBuffer.get()) {
            const MeshMerger::Tuple* known = indexTuples.find(indexBuffer);
            if ((known != nullptr && *known != tuple) || !merger.registerIndices(indexBuffer, tuple)) {
                continue;
            }
            indexTuples.insert(indexBuffer, tuple);
        }
        merged[i] = true;
    }
    merger.build();
    for (int i = 0; i < mJobs.getCount(); ++i) {
        if (!merged[i]) {
            continue;
        }
        Job& job = mJobs[i];
        const auto vertices = merger.getVertexMapping(MeshMerger::makeTuple(job.vertexBuffers));
        for (auto& buffer : job.vertexBuffers) {
            if (buffer) {
                buffer.reset(vertices->buffer);
            }
        }
        if (job.indexBuffer) {
            const auto indices = merger.getIndexMapping(job.indexBuffer.get());
            job.indexBuffer.reset(indices->buffer);
            job.first += indices->first;
        } else {
            job.first += vertices->first;
        }
    }
}

object::Pointer<RenderStream> Optimiser::compile() {
    mCompiler.reset();
    for (const Job& job : mJobs) {
        if (job.mesh) {
            continue;
        }
        mCompiler.setBlendMode(job.blendMode.get());
        mCompiler.setDepthMode(job.depthMode.get());
        mCompiler.setPolygonMode(job.polygonMode.get());
        mCompiler.setStencilMode(job.stencilMode.get());
        mCompiler.setShader(job.shader.get());
        if (job.material) {
            mCompiler.setMaterial(job.material.get());
        }
        if (job.indexBuffer) {
            mCompiler.setIndexBuffer(job.indexBuffer.get());
        }
        for (int unit = 0; unit < kUnits; ++unit) {
            if (job.textures[unit]) {
                mCompiler.setTexture(unit, job.textures[unit].get());
            }
        }
        if (!job.shader) {
            continue;
        }
        // The bits the shader reads, grouped by the buffer feeding them;
        // the map walks the buffers in address order.
        const std::uint32_t mask = job.shader->getArrayMask();
        container::Map<VertexBuffer*, std::uint32_t> groups;
        for (int bit = 0; bit < kBits; ++bit) {
            VertexBuffer* buffer = job.vertexBuffers[bit].get();
            if ((mask >> bit & 1u) == 0 || buffer == nullptr) {
                continue;
            }
            if (std::uint32_t* bits = groups.find(buffer)) {
                *bits |= 1u << bit;
            } else {
                groups.insert(buffer, 1u << bit);
            }
        }
        for (const auto& group : groups) {
            mCompiler.setVertexBuffer(group.getKey(), group.getValue());
        }
        // The job's own kind decides the draw: an index buffer left in force
        // by an earlier job must not turn a vertex draw into an indexed one.
        if (job.indexBuffer) {
            mCompiler.drawElements(job.primitive, job.first, job.count);
        } else {
            mCompiler.drawArrays(job.primitive, job.first, job.count);
        }
    }
    mCompiler.setShader(nullptr);
    return mCompiler.finish();
}

void Optimiser::takeMeshes(container::Array<object::Pointer<Mesh>>& meshes, bool always) const {
    Context* context = Context::current();
    const Job* previous = nullptr;
    for (const Job& job : mJobs) {
        if (job.mesh) {
            meshes.add(job.mesh);
            previous = &job;
            continue;
        }
        object::Pointer<VertexMesh> mesh;
        if (job.indexBuffer) {
            auto indexMesh = object::make<IndexMesh>();
            indexMesh->setIndexBuffer(job.indexBuffer.get());
            mesh = indexMesh;
        } else {
            mesh = object::make<VertexMesh>();
        }
        const MeshMerger::Tuple tuple = MeshMerger::makeTuple(job.vertexBuffers);
        for (int slot = 0; slot < MeshMerger::kSlots && tuple[slot] != nullptr; ++slot) {
            mesh->setVertexBuffer(tuple[slot], slot);
        }
        mesh->setRange(job.first, job.first + job.count);
        mesh->setPrimitive(job.primitive);
        // A rebuilt mesh needs a box of its own, or updateBounds(false) on the
        // optimised model would gather empty ones.
        mesh->updateBounds();
        mesh->setAppearance(appearanceOf(job, previous, always, context).get());
        meshes.add(mesh);
        previous = &job;
    }
}

}  // namespace nevrik::graphics3d
