#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/graphics3d/core/BufferLock.h"
#include "nevrik/graphics3d/core/VertexBuffer.h"
#include "nevrik/math/Vector.h"

#include <cstdint>
#include <optional>

namespace nevrik::graphics3d {
class VertexMesh;
}

namespace nevrik::graphics3d::detail {

/// Reads vertex positions out of a vertex buffer, locked for reading while
/// the reader lives: the first three components of an entry of 3 or 4
/// integers, floats or doubles, converted to float.
class PositionReader {
public:
    /// Locks `buffer` and reads the entry of type word `type` at byte
    /// `offset` in each vertex.
    PositionReader(VertexBuffer& buffer, std::uint32_t offset, std::uint32_t type);

    /// Makes `reader` read the positions of `mesh`: the first entry feeding
    /// positions in the first occupied slot whose buffer has them. False
    /// when there is none or the lock fails.
    static bool open(const VertexMesh& mesh, std::optional<PositionReader>& reader);

    /// Whether the lock was had.
    bool isLocked() const noexcept { return mLock.isLocked(); }
    /// Whether the entry is a position this reader converts, lying inside
    /// the vertex. Without it read() must not be called.
    bool isReadable() const noexcept { return mReadable; }
    std::uint32_t getCount() const noexcept { return mBuffer.getVertexCount(); }
    /// The position of vertex `vertex`, which must be below getCount().
    math::Vector3<float> read(std::uint32_t vertex) const noexcept;
    /// Appends the positions of the `count` vertices from `first`, which
    /// must lie below getCount(). False, appending nothing, when they would
    /// not fit an array.
    bool append(std::uint32_t first, std::uint32_t count,
                container::Array<math::Vector3<float>>& positions) const;

private:
    VertexBuffer& mBuffer;
    BufferLock<VertexBuffer> mLock;
    std::uint32_t mOffset;
    std::uint32_t mType;
    bool mReadable;
};

}  // namespace nevrik::graphics3d::detail
