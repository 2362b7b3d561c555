#pragma once

#include "nevrik/graphics3d/core/Mesh.h"
#include "nevrik/graphics3d/core/VertexBuffer.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// A mesh drawn from up to sixteen vertex buffers, vertex after vertex,
/// with glDrawArrays: the whole buffer, or the vertices from rangeStart up
/// to rangeEnd.
///
/// Reference-counted; holds a reference on each of its buffers. Used on the
/// thread of the current context only.
class VertexMesh : public Mesh {
public:
    static constexpr int kSlots = 16;

    VertexMesh() = default;

    NEVRIK_CLASS_NAME(Mesh, ":VertexMesh")

    /// Draws the range, or every vertex the occupied slots all have when the
    /// range is empty (rangeStart == rangeEnd). False, drawing nothing, for a
    /// range beyond that count or running backwards.
    bool draw() override;
    object::Pointer<geometry::TriangleMesh3<float>> createTriangleMesh() const override;
    bool updateBounds() override;
    bool createCollider() override;
    bool compile(system::Assembler& assembler) const override;

    /// Puts `buffer` (null empties the slot) into `slot`, taking a reference
    /// and dropping the old buffer. False, changing nothing, unless
    /// 0 <= slot < kSlots.
    bool setVertexBuffer(VertexBuffer* buffer, int slot);
    bool clearVertexBuffer(int slot) { return setVertexBuffer(nullptr, slot); }
    /// Vertices, or in an IndexMesh indices, to draw; equal bounds draw all.
    void setRange(std::uint32_t start, std::uint32_t end) noexcept;

    /// The buffer in `slot`, or null.
    VertexBuffer* getVertexBuffer(int slot) const noexcept;
    /// One more than the highest occupied slot.
    int getBufferCount() const noexcept { return mBufferCount; }
    /// The fewest vertices of any occupied slot.
    std::uint32_t getVertexCount() const noexcept { return mVertexCount; }
    std::uint32_t getComponentMask() const noexcept { return mComponentMask; }
    std::uint32_t getRangeStart() const noexcept { return mRangeStart; }
    std::uint32_t getRangeEnd() const noexcept { return mRangeEnd; }

protected:
    /// First item and count of the range drawn from `total` items (all of
    /// them for an empty range); false when the range does not lie within.
    bool getRange(std::uint32_t total, std::uint32_t& first, std::uint32_t& count) const noexcept;
    /// Binds every occupied slot with all its components.
    void bindVertexBuffers() const;
    /// Appends the bindings of every occupied slot to `assembler`.
    void compileVertexBuffers(system::Assembler& assembler) const;
    /// Fits the bounds around the positions of the whole position buffer,
    /// or of the range only.
    bool fitBounds(bool wholeBuffer);

private:
    // Recomputes the buffer count, vertex count and component mask.
    void summarise() noexcept;

    object::Pointer<VertexBuffer> mVertexBuffers[kSlots];
    int mBufferCount = 0;
    std::uint32_t mVertexCount = 0;
    std::uint32_t mComponentMask = 0;
    std::uint32_t mRangeStart = 0;
    std::uint32_t mRangeEnd = 0;
};

}  // namespace nevrik::graphics3d
