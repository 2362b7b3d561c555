#include "nevrik/graphics3d/core/VertexMesh.h"

#include "nevrik/geometry/BoundingBox.h"
#include "nevrik/graphics3d/core/detail/PositionReader.h"
#include "nevrik/graphics3d/core/detail/Triangulation.h"
#include "nevrik/system/Assembler.h"

#include <GL/glew.h>

#include <algorithm>
#include <limits>
#include <optional>

namespace nevrik::graphics3d {

bool VertexMesh::setVertexBuffer(VertexBuffer* buffer, int slot) {
    if (slot < 0 || slot >= kSlots) {
        return false;
    }
    mVertexBuffers[slot].reset(buffer);
    summarise();
    return true;
}

void VertexMesh::setRange(std::uint32_t start, std::uint32_t end) noexcept {
    mRangeStart = start;
    mRangeEnd = end;
}

VertexBuffer* VertexMesh::getVertexBuffer(int slot) const noexcept {
    return slot >= 0 && slot < kSlots ? mVertexBuffers[slot].get() : nullptr;
}

void VertexMesh::summarise() noexcept {
    mBufferCount = 0;
    mVertexCount = 0;
    mComponentMask = 0;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (const VertexBuffer* buffer = mVertexBuffers[slot].get()) {
            mBufferCount = slot + 1;
            mComponentMask |= buffer->getComponentMask();
            mVertexCount = mVertexCount == 0 ? buffer->getVertexCount()
                                             : std::min(mVertexCount, buffer->getVertexCount());
        }
    }
}

bool VertexMesh::getRange(std::uint32_t total, std::uint32_t& first, std::uint32_t& count) const noexcept {
    const bool whole = mRangeStart == mRangeEnd;
    if (!whole && (mRangeStart > mRangeEnd || mRangeEnd > total)) {
        return false;
    }
    first = whole ? 0 : mRangeStart;
    count = whole ? total : mRangeEnd - mRangeStart;
    // GL counts and array sizes are ints.
    return count <= static_cast<std::uint32_t>(std::numeric_limits<int>::max());
}

void VertexMesh::bindVertexBuffers() const {
    for (int slot = 0; slot < mBufferCount; ++slot) {
        if (const VertexBuffer* buffer = mVertexBuffers[slot].get()) {
            buffer->bind(~0u);
        }
    }
}

void VertexMesh::compileVertexBuffers(system::Assembler& assembler) const {
    for (int slot = 0; slot < mBufferCount; ++slot) {
        if (const VertexBuffer* buffer = mVertexBuffers[slot].get()) {
            buffer->compileBind(assembler, ~0u);
        }
    }
}

bool VertexMesh::draw() {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    if (!getRange(mVertexCount, first, count)) {
        return false;
    }
    bindVertexBuffers();
    applyAppearance();
    glDrawArrays(getPrimitive(), static_cast<GLint>(first), static_cast<GLsizei>(count));
    return true;
}

bool VertexMesh::compile(system::Assembler& assembler) const {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    if (!getRange(mVertexCount, first, count)) {
        return false;
    }
    compileVertexBuffers(assembler);
    assembler.callStd(glDrawArrays, getPrimitive(), static_cast<GLint>(first), static_cast<GLsizei>(count));
    return true;
}

object::Pointer<geometry::TriangleMesh3<float>> VertexMesh::createTriangleMesh() const {
    std::optional<detail::PositionReader> positions;
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    if (!detail::PositionReader::open(*this, positions) || !getRange(positions->getCount(), first, count)) {
        return nullptr;
    }
    auto mesh = object::make<geometry::TriangleMesh3<float>>();
    if (positions->isReadable()) {
        positions->append(first, count, mesh->getVertices());
    }
    positions.reset();
    container::Array<unsigned int> indices(static_cast<int>(count));
    for (std::uint32_t i = 0; i < count; ++i) {
        indices[static_cast<int>(i)] = i;
    }
    detail::appendTriangles(getPrimitive(), indices, *mesh);
    return mesh;
}

bool VertexMesh::fitBounds(bool wholeBuffer) {
    std::optional<detail::PositionReader> positions;
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    if (!detail::PositionReader::open(*this, positions) || !positions->isReadable()) {
        return false;
    }
    if (wholeBuffer) {
        count = positions->getCount();
    } else if (!getRange(positions->getCount(), first, count)) {
        return false;
    }
    geometry::BoundingBox<float> box;
    if (count > 0) {
        box.min = box.max = positions->read(first);
    }
    for (std::uint32_t vertex = first + 1; vertex < first + count; ++vertex) {
        const math::Vector3<float> p = positions->read(vertex);
        for (int axis = 0; axis < 3; ++axis) {
            box.min[axis] = std::min(box.min[axis], p[axis]);
            box.max[axis] = std::max(box.max[axis], p[axis]);
        }
    }
    setBounds(geometry::OrientedBox(box));
    return true;
}

bool VertexMesh::updateBounds() {
    return fitBounds(false);
}

bool VertexMesh::createCollider() {
    std::optional<detail::PositionReader> positions;
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    if (!detail::PositionReader::open(*this, positions) || !positions->isReadable() ||
        !getRange(positions->getCount(), first, count)) {
        return false;
    }
    auto collider = object::make<geometry::MeshCollider3<float>>();
    collider->setPrimitive(getPrimitive());
    positions->append(first, count, collider->getVertices());
    setCollider(std::move(collider));
    return true;
}

}  // namespace nevrik::graphics3d
