#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/graphics3d/core/Mesh.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>

namespace nevrik::graphics3d {

class IndexMesh;
class VertexMesh;

/// Cuts a mesh too large for one draw into pieces of the same kind,
/// primitive and appearance, each with static buffers of its own: an
/// IndexMesh over its indices (at most maxIndices a piece, each piece naming
/// at most maxVertices distinct vertices, renumbered in order of first use),
/// a VertexMesh over its vertices (at most maxVertices a piece). Strips
/// repeat the vertices their next primitive needs at the start of every
/// later piece.
///
/// Owned by value by its user (the optimiser). Used on the thread of the
/// current context, since it creates and locks buffers.
class MeshSplitter : public object::Object, private object::Noncopyable {
public:
    static constexpr std::uint32_t kDefaultMaxVertices = 0x10000;
    static constexpr std::uint32_t kDefaultMaxIndices = 0x40000;
    /// The smallest limit a setter takes: a piece must hold a whole group
    /// of eight elements and a strip's overlap.
    static constexpr std::uint32_t kMinLimit = 16;

    MeshSplitter() = default;

    NEVRIK_CLASS_NAME(object::Object, ":MeshSplitter")

    /// The pieces of `mesh`, in drawing order (each with the caller's
    /// reference). Empty for a mesh that is neither a VertexMesh nor an
    /// IndexMesh, and when the mesh has no index buffer or vertex buffer,
    /// nothing to draw, a range outside its buffers, a buffer that cannot be
    /// locked, or an index beyond its vertices. Throws
    /// UnsupportedPrimitiveException for points, line loops, triangle fans
    /// and polygons, UnsupportedFormatException for an index size other
    /// than 1, 2 or 4, MemoryException when a buffer cannot be created.
    container::Array<object::Pointer<Mesh>> split(const Mesh& mesh) const;

    std::uint32_t getMaxVertices() const noexcept { return mMaxVertices; }
    std::uint32_t getMaxIndices() const noexcept { return mMaxIndices; }
    /// False, changing nothing, below kMinLimit.
    bool setMaxVertices(std::uint32_t limit) noexcept;
    bool setMaxIndices(std::uint32_t limit) noexcept;

private:
    // How a primitive may be cut: pieces are multiples of `group` elements,
    // and every piece after the first starts `overlap` elements early.
    struct Cut {
        std::uint32_t group;
        std::uint32_t overlap;
    };

    static Cut cutOf(std::uint32_t primitive);
    // Elements a piece takes past its overlap, from `total` under `limit`.
    static std::uint32_t pieceSize(std::uint32_t total, std::uint32_t limit, const Cut& cut) noexcept;

    void splitIndices(const IndexMesh& mesh, const Cut& cut,
                      container::Array<object::Pointer<Mesh>>& pieces) const;
    void splitVertices(const VertexMesh& mesh, const Cut& cut,
                       container::Array<object::Pointer<Mesh>>& pieces) const;

    std::uint32_t mMaxVertices = kDefaultMaxVertices;
    std::uint32_t mMaxIndices = kDefaultMaxIndices;
};

}  // namespace nevrik::graphics3d
