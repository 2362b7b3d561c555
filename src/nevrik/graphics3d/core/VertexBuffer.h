#pragma once

#include "nevrik/graphics3d/core/Resource.h"
#include "nevrik/graphics3d/core/VertexFormat.h"
#include "nevrik/graphics3d/core/detail/BufferStorage.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>

namespace nevrik::system {
class Assembler;
}

namespace nevrik::graphics3d {

/// Vertices of one VertexFormat in a GL buffer object, or in client memory
/// when buffer objects are missing or refused; read and written between
/// lock() and unlock(), bound for drawing with bind().
///
/// Reference-counted and shared by the meshes that draw it; made by create()
/// with a fixed size. Used on the thread of the current context, which
/// should be the one it was made with.
class VertexBuffer : public Resource, private object::Noncopyable {
public:
    // clone() and create() make their objects with make().
    template <class U, class... Arguments>
    friend object::Pointer<U> object::make(Arguments&&...);

    /// Usage indices; system memory never makes a buffer object.
    static constexpr std::uint32_t kNoUsage = 0;
    static constexpr std::uint32_t kStatic = 1;
    static constexpr std::uint32_t kDynamic = 2;
    static constexpr std::uint32_t kStream = 3;
    static constexpr std::uint32_t kSystemMemory = detail::BufferStorage::kSystemMemory;
    /// Lock modes.
    static constexpr std::uint32_t kRead = 0;
    static constexpr std::uint32_t kWrite = 1;
    static constexpr std::uint32_t kReadWrite = 2;
    static constexpr std::uint32_t kReplace = 3;
    /// One record per component bit of the array mask.
    static constexpr int kComponentBits = 20;

    /// Where one vertex component is read: GL type, count, byte offset.
    struct Component {
        std::uint32_t glType = 0;
        std::uint32_t count = 0;
        std::uint32_t offset = 0;
    };

    /// A new buffer (reference count 1, the caller's) of `vertexCount`
    /// vertices laid out by `format`: a buffer object with the usage of
    /// `usageIndex`, or else client memory. Null when the usage index is
    /// beyond kSystemMemory or no memory could be had. Entries whose scalar
    /// code is not one of TypeWord's or whose count is not 1 to 4 feed no
    /// component.
    static object::Pointer<VertexBuffer> create(const VertexFormat& format, std::uint32_t vertexCount,
                                                std::uint32_t usageIndex);

    NEVRIK_CLASS_NAME(Resource, ":VertexBuffer")

    /// See detail::BufferStorage::lock: true when getData() may be used.
    bool lock(std::uint32_t mode) { return mStorage.lock(mode); }
    bool unlock() { return mStorage.unlock(); }

    /// Sets the GL pointer of every component of `mask` the buffer has (the
    /// client arrays are the shader's business). False, setting nothing,
    /// when the buffer object can no longer be bound.
    bool bind(std::uint32_t mask) const;
    /// Appends to `assembler` the calls bind(mask) would make, in the same
    /// order and with the same arguments (client addresses as constants).
    /// False, appending nothing, when the buffer object can no longer be
    /// bound.
    bool compileBind(system::Assembler& assembler, std::uint32_t mask) const;

    const Component& getComponent(int bit) const noexcept;
    const VertexFormat& getFormat() const noexcept { return mFormat; }
    /// Client memory, or while locked the mapped buffer object; else null.
    std::uint8_t* getData() const noexcept { return mStorage.getData(); }
    std::uint32_t getVertexCount() const noexcept { return mVertexCount; }
    std::uint32_t getStride() const noexcept { return mFormat.getStride(); }
    bool isLocked() const noexcept { return mStorage.isLocked(); }
    std::uint32_t getComponentMask() const noexcept { return mComponentMask; }
    std::uint32_t getUsage() const noexcept { return mStorage.getUsage(); }
    /// The GL buffer object; 0 for client memory.
    std::uint32_t getBufferName() const noexcept { return mStorage.getName(); }
    std::uint32_t getUsageIndex() const noexcept { return mStorage.getUsageIndex(); }

private:
    explicit VertexBuffer(const VertexFormat& format) noexcept;
    ~VertexBuffer() override = default;

    template <class Call>
    bool bindWith(const Call& call, std::uint32_t mask) const;

    Component mComponents[kComponentBits];
    VertexFormat mFormat;
    std::uint32_t mVertexCount = 0;
    std::uint32_t mComponentMask = 0;
    detail::BufferStorage mStorage;
};

}  // namespace nevrik::graphics3d
