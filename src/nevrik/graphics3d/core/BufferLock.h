#pragma once

#include "nevrik/object/Noncopyable.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// Holds a vertex or index buffer locked for as long as it lives, so that
/// every way out of a reader unlocks it.
///
/// Lives on the stack of the one thread that uses the buffer.
template <class Buffer>
class BufferLock : private object::Noncopyable {
public:
    BufferLock(Buffer& buffer, std::uint32_t mode) : mBuffer(buffer), mLocked(buffer.lock(mode)) {}
    ~BufferLock() {
        if (mLocked) {
            mBuffer.unlock();
        }
    }

    /// Whether the lock was had and the buffer's data may be read.
    bool isLocked() const noexcept { return mLocked && mBuffer.getData() != nullptr; }

private:
    Buffer& mBuffer;
    bool mLocked;
};

}  // namespace nevrik::graphics3d
