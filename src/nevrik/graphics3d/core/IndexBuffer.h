#pragma once

#include "nevrik/graphics3d/core/Resource.h"
#include "nevrik/graphics3d/core/detail/BufferStorage.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>

namespace nevrik::system {
class Assembler;
}

namespace nevrik::graphics3d {

class Context;

/// Indices of 1, 2 or 4 bytes in a GL buffer object, or in client memory
/// when buffer objects are missing or refused; read and written between
/// lock() and unlock() (the lock modes and usage indices of VertexBuffer).
///
/// Reference-counted and shared by the meshes that draw it; made by create()
/// with a fixed size. Used on the thread of the current context.
class IndexBuffer : public Resource, private object::Noncopyable {
public:
    // clone() and create() make their objects with make().
    template <class U, class... Arguments>
    friend object::Pointer<U> object::make(Arguments&&...);

    /// A new buffer (reference count 1, the caller's) of `indexCount`
    /// indices of `indexSize` bytes. Null when the index size is not 1, 2 or
    /// 4, the usage index is beyond VertexBuffer::kSystemMemory, or no memory
    /// could be had.
    static object::Pointer<IndexBuffer> create(std::uint32_t indexSize, std::uint32_t indexCount,
                                               std::uint32_t usageIndex);

    NEVRIK_CLASS_NAME(Resource, ":IndexBuffer")

    /// See detail::BufferStorage::lock: true when getData() may be used.
    bool lock(std::uint32_t mode) { return mStorage.lock(mode); }
    bool unlock() { return mStorage.unlock(); }

    /// Binds the buffer object as the element array (or unbinds it for
    /// client memory) and records the index base, type and size in
    /// `context`. False, changing nothing, when the buffer object can no
    /// longer be bound.
    bool bind(Context& context) const;
    /// Appends to `assembler` the same binding call, then stores of the
    /// index type, size and base into the context whose address the program
    /// keeps in ESI (through EDX). False, appending nothing, when bind would
    /// fail.
    bool compileBind(system::Assembler& assembler) const;

    /// Index `position` widened to 32 bits; the buffer must be locked and
    /// `position` below the index count.
    std::uint32_t getIndex(std::uint32_t position) const noexcept;

    std::uint32_t getIndexSize() const noexcept { return mIndexSize; }
    std::uint32_t getIndexCount() const noexcept { return mIndexCount; }
    /// Client memory, or while locked the mapped buffer object; else null.
    std::uint8_t* getData() const noexcept { return mStorage.getData(); }
    bool isLocked() const noexcept { return mStorage.isLocked(); }
    std::uint32_t getUsage() const noexcept { return mStorage.getUsage(); }
    /// The GL buffer object; 0 for client memory.
    std::uint32_t getBufferName() const noexcept { return mStorage.getName(); }
    /// GL_UNSIGNED_BYTE, GL_UNSIGNED_SHORT or GL_UNSIGNED_INT.
    std::uint32_t getGlType() const noexcept { return mGlType; }
    std::uint32_t getUsageIndex() const noexcept { return mStorage.getUsageIndex(); }

private:
    IndexBuffer(std::uint32_t indexSize, std::uint32_t indexCount, std::uint32_t glType) noexcept
        : mIndexSize(indexSize), mIndexCount(indexCount), mGlType(glType) {}
    ~IndexBuffer() override = default;

    std::uint32_t mIndexSize;
    std::uint32_t mIndexCount;
    std::uint32_t mGlType;
    detail::BufferStorage mStorage;
};

}  // namespace nevrik::graphics3d
