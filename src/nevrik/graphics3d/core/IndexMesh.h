#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/graphics3d/core/IndexBuffer.h"
#include "nevrik/graphics3d/core/VertexMesh.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// A mesh drawn through an index buffer with glDrawElements: every index,
/// or the indices from rangeStart up to rangeEnd.
///
/// Reference-counted; holds references on its vertex buffers and its index
/// buffer. Used on the thread of the current context only.
class IndexMesh : public VertexMesh {
public:
    IndexMesh() = default;

    NEVRIK_CLASS_NAME(VertexMesh, ":IndexMesh")

    /// Binds the vertex buffers and the index buffer (recording it in the
    /// current context), applies the appearance and draws the range. False,
    /// drawing nothing, without an index buffer or a current context, or
    /// for a range beyond the indices or running backwards.
    bool draw() override;
    /// The triangles of the index range over every vertex of the position
    /// buffer. Null without an index buffer or when a lock fails.
    object::Pointer<geometry::TriangleMesh3<float>> createTriangleMesh() const override;
    /// Fits the bounds around every vertex of the position buffer.
    bool updateBounds() override;
    /// Copies the indices and every vertex when the whole index buffer is
    /// drawn; for a sub-range renumbers the indices in order of first use
    /// and copies only the vertices they name. An index beyond the vertices
    /// becomes one the collider skips.
    bool createCollider() override;
    bool compile(system::Assembler& assembler) const override;

    IndexBuffer* getIndexBuffer() const noexcept { return mIndexBuffer.get(); }
    /// Takes a reference on `buffer` (null for none) and drops the old one.
    void setIndexBuffer(IndexBuffer* buffer) { mIndexBuffer.reset(buffer); }

private:
    // The indices of the range, widened; false without an index buffer,
    // when the lock fails, or for a range outside the buffer.
    bool readIndices(container::Array<unsigned int>& indices) const;

    object::Pointer<IndexBuffer> mIndexBuffer;
};

}  // namespace nevrik::graphics3d
