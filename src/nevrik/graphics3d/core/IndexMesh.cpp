#include "nevrik/graphics3d/core/IndexMesh.h"

#include "nevrik/container/Map.h"
#include "nevrik/graphics3d/core/BufferLock.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/detail/PositionReader.h"
#include "nevrik/graphics3d/core/detail/Triangulation.h"
#include "nevrik/system/Assembler.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

namespace nevrik::graphics3d {
namespace {

// Where glDrawElements starts reading: `first` indices past `base`, which is
// null for a buffer object (the offset is then the pointer).
const void* indicesAt(const void* base, std::uint32_t first, std::uint32_t indexSize) noexcept {
    return reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(base) +
                                         std::uintptr_t{first} * indexSize);
}

// Marks an index that names no vertex; colliders skip its triangles.
constexpr unsigned int kNoVertex = ~0u;

// Renumbers `indices` in order of first use, appending each vertex they name
// to `vertices` once; an index beyond the positions becomes kNoVertex.
// `numberOf(index)` gives the place that keeps the index's new number, which
// starts as kNoVertex.
template <class NumberOf>
void renumber(container::Array<unsigned int>& indices, const detail::PositionReader& positions,
              container::Array<math::Vector3<float>>& vertices, NumberOf numberOf) {
    for (unsigned int& index : indices) {
        if (index >= positions.getCount()) {
            index = kNoVertex;
            continue;
        }
        unsigned int& number = numberOf(index);
        if (number == kNoVertex) {
            number = static_cast<unsigned int>(vertices.getCount());
            vertices.add(positions.read(index));
        }
        index = number;
    }
}

// renumber() with the new numbers in a table over the span of the indices
// used, when that is not much larger than the range: a sub-range of a shared
// buffer mostly names one run of vertices, and the table is several times
// faster than a map. A few far-apart indices get a map instead, so that they
// cost no table the size of the buffer.
void renumber(container::Array<unsigned int>& indices, const detail::PositionReader& positions,
              container::Array<math::Vector3<float>>& vertices) {
    unsigned int lowest = kNoVertex;
    unsigned int highest = 0;
    for (const unsigned int index : indices) {
        if (index < positions.getCount()) {
            lowest = std::min(lowest, index);
            highest = std::max(highest, index);
        }
    }
    const std::size_t span = lowest <= highest ? std::size_t{highest} - lowest + 1 : 0;
    if (span <= 4 * static_cast<std::size_t>(indices.getCount()) + 4096) {
        std::vector<unsigned int> numbers(span, kNoVertex);
        renumber(indices, positions, vertices,
                 [&](unsigned int index) -> unsigned int& { return numbers[index - lowest]; });
        return;
    }
    container::Map<unsigned int, unsigned int> numbers;
    renumber(indices, positions, vertices, [&](unsigned int index) -> unsigned int& {
        unsigned int* number = numbers.find(index);
        if (number == nullptr) {
            numbers.insert(index, kNoVertex);
            number = numbers.find(index);
        }
        return *number;
    });
}

}  // namespace

bool IndexMesh::draw() {
    Context* context = Context::peek();
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    if (!mIndexBuffer || context == nullptr || !getRange(mIndexBuffer->getIndexCount(), first, count)) {
        return false;
    }
    bindVertexBuffers();
    if (!mIndexBuffer->bind(*context)) {
        return false;
    }
    applyAppearance();
    glDrawElements(getPrimitive(), static_cast<GLsizei>(count), mIndexBuffer->getGlType(),
                   indicesAt(context->getIndexData(), first, mIndexBuffer->getIndexSize()));
    return true;
}

bool IndexMesh::compile(system::Assembler& assembler) const {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    if (!mIndexBuffer || !getRange(mIndexBuffer->getIndexCount(), first, count)) {
        return false;
    }
    compileVertexBuffers(assembler);
    if (!mIndexBuffer->compileBind(assembler)) {
        return false;
    }
    const void* base = mIndexBuffer->getBufferName() != 0 ? nullptr : mIndexBuffer->getData();
    assembler.callStd(glDrawElements, getPrimitive(), static_cast<GLsizei>(count), mIndexBuffer->getGlType(),
                      indicesAt(base, first, mIndexBuffer->getIndexSize()));
    return true;
}

bool IndexMesh::readIndices(container::Array<unsigned int>& indices) const {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    if (!mIndexBuffer || !getRange(mIndexBuffer->getIndexCount(), first, count)) {
        return false;
    }
    BufferLock<IndexBuffer> lock(*mIndexBuffer, VertexBuffer::kRead);
    if (!lock.isLocked()) {
        return false;
    }
    indices.resize(static_cast<int>(count));
    for (std::uint32_t i = 0; i < count; ++i) {
        indices[static_cast<int>(i)] = mIndexBuffer->getIndex(first + i);
    }
    return true;
}

object::Pointer<geometry::TriangleMesh3<float>> IndexMesh::createTriangleMesh() const {
    std::optional<detail::PositionReader> positions;
    if (!mIndexBuffer || !detail::PositionReader::open(*this, positions)) {
        return nullptr;
    }
    auto mesh = object::make<geometry::TriangleMesh3<float>>();
    if (positions->isReadable()) {
        positions->append(0, positions->getCount(), mesh->getVertices());
    }
    positions.reset();
    container::Array<unsigned int> indices;
    if (!readIndices(indices)) {
        return nullptr;
    }
    detail::appendTriangles(getPrimitive(), indices, *mesh);
    return mesh;
}

bool IndexMesh::updateBounds() {
    return fitBounds(true);
}

bool IndexMesh::createCollider() {
    std::optional<detail::PositionReader> positions;
    container::Array<unsigned int> indices;
    if (!mIndexBuffer || !detail::PositionReader::open(*this, positions) || !positions->isReadable() ||
        !readIndices(indices)) {
        return false;
    }
    auto collider = object::make<geometry::MeshCollider3<float>>();
    collider->setPrimitive(getPrimitive());
    if (getRangeStart() == getRangeEnd()) {
        if (!positions->append(0, positions->getCount(), collider->getVertices())) {
            return false;
        }
        collider->getIndices() = std::move(indices);
    } else {
        renumber(indices, *positions, collider->getVertices());
        collider->getIndices() = std::move(indices);
    }
    setCollider(std::move(collider));
    return true;
}

}  // namespace nevrik::graphics3d
