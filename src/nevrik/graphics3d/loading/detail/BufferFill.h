#pragma once

#include "nevrik/graphics3d/core/VertexBuffer.h"
#include "nevrik/io/TranslatorMemoryException.h"

#include <cstdint>
#include <cstring>

namespace nevrik::graphics3d::detail {

// Locks `buffer` for writing, lets `fill` write its data and unlocks it; a
// buffer that cannot be mapped, or loses its content, cannot be made.
template <class Buffer, class Fill>
void fillBuffer(Buffer& buffer, const Fill& fill) {
    if (!buffer.lock(VertexBuffer::kWrite)) {
        throw io::TranslatorMemoryException();
    }
    fill(buffer.getData());
    if (!buffer.unlock()) {
        throw io::TranslatorMemoryException();
    }
}

inline void storeFloats(std::uint8_t* to, const float* values, std::size_t count) noexcept {
    std::memcpy(to, values, count * sizeof(float));
}

}  // namespace nevrik::graphics3d::detail
