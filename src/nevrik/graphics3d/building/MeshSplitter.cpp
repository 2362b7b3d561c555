#include "nevrik/graphics3d/building/MeshSplitter.h"

#include "nevrik/container/Map.h"
#include "nevrik/graphics3d/building/MemoryException.h"
#include "nevrik/graphics3d/building/UnsupportedFormatException.h"
#include "nevrik/graphics3d/building/UnsupportedPrimitiveException.h"
#include "nevrik/graphics3d/core/BufferLock.h"
#include "nevrik/graphics3d/core/IndexMesh.h"
#include "nevrik/graphics3d/core/VertexMesh.h"

#include <algorithm>
#include <cstring>

namespace nevrik::graphics3d {

namespace {

using Pieces = container::Array<object::Pointer<Mesh>>;

constexpr std::uint32_t kLines = 1;
constexpr std::uint32_t kLineStrip = 3;

// First item and count of the part of `total` items `mesh` draws (all of
// them for an empty range); false for a range outside them.
bool rangeOf(const VertexMesh& mesh, std::uint32_t total, std::uint32_t& first,
             std::uint32_t& count) noexcept {
    const std::uint32_t start = mesh.getRangeStart();
    const std::uint32_t end = mesh.getRangeEnd();
    if (start == end) {
        first = 0;
        count = total;
        return true;
    }
    first = start;
    count = end - start;
    return start < end && end <= total;
}

// Writes `count` vertices into new static buffers of `piece`, one per
// occupied slot of `source` and of its format: new vertex k is source
// vertex olds[k]. Gives the piece the primitive and appearance of the
// source. False when a source cannot be read.
bool fillVertices(const VertexMesh& source, VertexMesh& piece, const std::uint32_t* olds,
                  std::uint32_t count) {
    piece.setPrimitive(source.getPrimitive());
    piece.setAppearance(source.getAppearance());
    for (int slot = 0; slot < source.getBufferCount(); ++slot) {
        VertexBuffer* from = source.getVertexBuffer(slot);
        if (from == nullptr) {
            continue;
        }
        auto to = VertexBuffer::create(from->getFormat(), count, VertexBuffer::kStatic);
        if (!to) {
            throw MemoryException();
        }
        BufferLock<VertexBuffer> reading(*from, VertexBuffer::kRead);
        if (!reading.isLocked()) {
            return false;
        }
        BufferLock<VertexBuffer> writing(*to, VertexBuffer::kReplace);
        if (!writing.isLocked()) {
            throw MemoryException();
        }
        const std::size_t stride = from->getStride();
        for (std::uint32_t k = 0; k < count; ++k) {
            std::memcpy(to->getData() + k * stride, from->getData() + olds[k] * stride, stride);
        }
        piece.setVertexBuffer(to.get(), slot);
    }
    piece.updateBounds();
    return true;
}

// A new static index buffer of `size`-byte indices holding `count` values.
object::Pointer<IndexBuffer> makeIndexBuffer(std::uint32_t size, const std::uint32_t* values,
                                             std::uint32_t count) {
    auto buffer = IndexBuffer::create(size, count, VertexBuffer::kStatic);
    if (!buffer) {
        throw MemoryException();
    }
    BufferLock<IndexBuffer> writing(*buffer, VertexBuffer::kReplace);
    if (!writing.isLocked()) {
        throw MemoryException();
    }
    std::uint8_t* data = buffer->getData();
    for (std::uint32_t k = 0; k < count; ++k) {
        for (std::uint32_t byte = 0; byte < size; ++byte) {
            *data++ = static_cast<std::uint8_t>(values[k] >> (8 * byte));
        }
    }
    return buffer;
}

}  // namespace

bool MeshSplitter::setMaxVertices(std::uint32_t limit) noexcept {
    if (limit < kMinLimit) {
        return false;
    }
    mMaxVertices = limit;
    return true;
}

bool MeshSplitter::setMaxIndices(std::uint32_t limit) noexcept {
    if (limit < kMinLimit) {
        return false;
    }
    mMaxIndices = limit;
    return true;
}

MeshSplitter::Cut MeshSplitter::cutOf(std::uint32_t primitive) {
    switch (primitive) {
        case kLines:
        case geometry::Primitive::kQuads:
            return {8, 0};
        case kLineStrip:
            return {8, 1};
        case geometry::Primitive::kTriangles:
            return {3, 0};
        case geometry::Primitive::kTriangleStrip:
        case geometry::Primitive::kQuadStrip:
            return {8, 2};
        default:
            throw UnsupportedPrimitiveException();
    }
}

std::uint32_t MeshSplitter::pieceSize(std::uint32_t total, std::uint32_t limit, const Cut& cut) noexcept {
    const auto pieces = static_cast<std::uint32_t>((std::uint64_t{total} + limit - 1) / limit);
    // The overlap counts against the limit too, or a strip's later pieces
    // would exceed it by that much.
    const std::uint32_t target = std::min(total / pieces, limit - cut.overlap);
    return std::max(target - target % cut.group, cut.group);
}

container::Array<object::Pointer<Mesh>> MeshSplitter::split(const Mesh& mesh) const {
    Pieces pieces;
    if (const auto* indexed = dynamic_cast<const IndexMesh*>(&mesh)) {
        splitIndices(*indexed, cutOf(mesh.getPrimitive()), pieces);
    } else if (const auto* direct = dynamic_cast<const VertexMesh*>(&mesh)) {
        splitVertices(*direct, cutOf(mesh.getPrimitive()), pieces);
    }
    return pieces;
}

void MeshSplitter::splitIndices(const IndexMesh& mesh, const Cut& cut, Pieces& pieces) const {
    IndexBuffer* source = mesh.getIndexBuffer();
    if (source == nullptr) {
        return;
    }
    const std::uint32_t indexSize = source->getIndexSize();
    if (indexSize != 1 && indexSize != 2 && indexSize != 4) {
        throw UnsupportedFormatException();
    }
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    if (mesh.getBufferCount() == 0 || !rangeOf(mesh, source->getIndexCount(), first, count) || count == 0) {
        return;
    }
    container::Array<std::uint32_t> indices(static_cast<int>(count));
    {
        BufferLock<IndexBuffer> reading(*source, VertexBuffer::kRead);
        if (!reading.isLocked()) {
            return;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            indices[static_cast<int>(i)] = source->getIndex(first + i);
            // An index past the vertices would have the copy read beyond them.
            if (indices[static_cast<int>(i)] >= mesh.getVertexCount()) {
                return;
            }
        }
    }
    const std::uint32_t size = pieceSize(count, mMaxIndices, cut);
    container::Map<std::uint32_t, std::uint32_t> numbers;
    container::Array<std::uint32_t> olds;
    container::Array<std::uint32_t> renumbered;
    for (std::uint32_t position = 0; position < count;) {
        numbers.clear();
        olds.clear();
        renumbered.clear();
        const std::uint32_t start = position == 0 ? 0 : position - cut.overlap;
        const std::uint32_t limit = std::min(count, position + size);
        // The piece ends at the size limit, or at the last group boundary
        // before the vertex that would make one too many: cutting between
        // boundaries would split a primitive across two pieces.
        std::uint32_t end = position;
        std::uint32_t distinct = 0;
        std::uint32_t i = start;
        for (; i < limit; ++i) {
            if (i >= position && (i - position) % cut.group == 0) {
                end = i;
                distinct = static_cast<std::uint32_t>(olds.getCount());
            }
            const std::uint32_t old = indices[static_cast<int>(i)];
            const std::uint32_t* number = numbers.find(old);
            if (number == nullptr) {
                if (static_cast<std::uint32_t>(olds.getCount()) == mMaxVertices) {
                    break;
                }
                numbers.insert(old, static_cast<std::uint32_t>(olds.getCount()));
                number = numbers.find(old);
                olds.add(old);
            }
            renumbered.add(*number);
        }
        if (i == limit) {
            end = limit;
            distinct = static_cast<std::uint32_t>(olds.getCount());
        }
        auto piece = object::make<IndexMesh>();
        if (!fillVertices(mesh, *piece, olds.getData(), distinct)) {
            pieces.clear();
            return;
        }
        piece->setIndexBuffer(makeIndexBuffer(indexSize, renumbered.getData(), end - start).get());
        pieces.add(piece);
        position = end;
    }
}

void MeshSplitter::splitVertices(const VertexMesh& mesh, const Cut& cut, Pieces& pieces) const {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    if (mesh.getBufferCount() == 0 || !rangeOf(mesh, mesh.getVertexCount(), first, count) || count == 0) {
        return;
    }
    const std::uint32_t size = pieceSize(count, mMaxVertices, cut);
    container::Array<std::uint32_t> olds;
    for (std::uint32_t position = 0; position < count;) {
        const std::uint32_t start = position == 0 ? 0 : position - cut.overlap;
        const std::uint32_t end = std::min(count, position + size);
        olds.clear();
        for (std::uint32_t vertex = start; vertex < end; ++vertex) {
            olds.add(first + vertex);
        }
        auto piece = object::make<VertexMesh>();
        if (!fillVertices(mesh, *piece, olds.getData(), end - start)) {
            pieces.clear();
            return;
        }
        pieces.add(piece);
        position = end;
    }
}

}  // namespace nevrik::graphics3d
