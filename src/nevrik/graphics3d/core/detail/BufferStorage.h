#pragma once

#include "nevrik/object/Noncopyable.h"

#include <GL/glew.h>

#include <cstdint>

namespace nevrik::graphics3d::detail {

/// The buffer-object entry points: the core ones, else those of the ARB
/// extension (same signatures, same behaviour), else none.
struct BufferCalls {
    /// Reads the loaded entry points now.
    static BufferCalls get() noexcept;

    bool isPresent() const noexcept { return bind != nullptr; }

    PFNGLGENBUFFERSPROC generate = nullptr;
    PFNGLBINDBUFFERPROC bind = nullptr;
    PFNGLBUFFERDATAPROC data = nullptr;
    PFNGLDELETEBUFFERSPROC erase = nullptr;
    PFNGLMAPBUFFERPROC map = nullptr;
    PFNGLUNMAPBUFFERPROC unmap = nullptr;
};

/// The data store of a vertex or index buffer: a GL buffer object when the
/// driver gives one, else client memory; locked for reading or writing
/// through `getData()`.
///
/// Held by value by its buffer; used on the thread of the current context.
class BufferStorage : private object::Noncopyable {
public:
    static constexpr std::uint32_t kUsageCount = 5;
    static constexpr std::uint32_t kSystemMemory = 4;
    static constexpr std::uint32_t kLockModes = 4;

    BufferStorage() noexcept = default;
    /// Deletes the buffer object or frees the client memory.
    ~BufferStorage();

    /// Tries a buffer object of `size` bytes for `target` with the usage of
    /// `usageIndex` (0 to 4), then client memory (zeroed). False when the
    /// client memory could not be had either.
    bool create(GLenum target, std::uint64_t size, std::uint32_t usageIndex);

    /// Makes the content readable or writable through getData() (mode 0
    /// read, 1 write, 2 both, 3 replace). False, changing nothing, for an
    /// unknown mode, when locked already, or when the mapping fails.
    bool lock(std::uint32_t mode);
    /// Ends a lock. False when not locked, or when the driver reports that
    /// the buffer object's content was lost meanwhile.
    bool unlock();

    /// Binds the buffer object to its target, or unbinds the target for
    /// client memory, through `call`; `base` becomes the address GL pointers
    /// are relative to (0 for a buffer object). False, calling nothing, when
    /// a buffer object can no longer be bound.
    template <class Call>
    bool bind(const Call& call, const std::uint8_t*& base) const {
        const BufferCalls calls = BufferCalls::get();
        if (mName != 0) {
            if (!calls.isPresent()) {
                return false;
            }
            call(calls.bind, mTarget, mName);
            base = nullptr;
            return true;
        }
        if (calls.isPresent()) {
            call(calls.bind, mTarget, 0u);
        }
        base = mData;
        return true;
    }

    std::uint8_t* getData() const noexcept { return mData; }
    std::uint64_t getSize() const noexcept { return mSize; }
    bool isLocked() const noexcept { return mLocked; }
    std::uint32_t getUsage() const noexcept { return mUsage; }
    GLuint getName() const noexcept { return mName; }
    std::uint32_t getUsageIndex() const noexcept { return mUsageIndex; }

private:
    std::uint8_t* mData = nullptr;
    std::uint64_t mSize = 0;
    bool mLocked = false;
    std::uint32_t mUsage = 0;
    GLuint mName = 0;
    std::uint32_t mUsageIndex = kSystemMemory;
    GLenum mTarget = 0;
};

}  // namespace nevrik::graphics3d::detail
