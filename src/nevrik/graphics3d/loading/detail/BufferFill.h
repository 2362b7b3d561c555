#pragma once

#include "nevrik/graphics3d/core/IndexBuffer.h"
#include "nevrik/graphics3d/core/VertexBuffer.h"
#include "nevrik/io/TranslatorMemoryException.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>
#include <cstring>
#include <vector>

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

// A static index buffer holding `corners`, two bytes an index when all of
// `vertexCount` vertices can be named so, else four.
inline object::Pointer<IndexBuffer> makeIndexBuffer(const std::vector<std::uint32_t>& corners,
                                                    std::uint32_t vertexCount) {
    const std::uint32_t indexSize = vertexCount > 0xFFFF ? 4 : 2;
    auto buffer = IndexBuffer::create(indexSize, static_cast<std::uint32_t>(corners.size()), VertexBuffer::kStatic);
    if (!buffer) {
        throw io::TranslatorMemoryException();
    }
    fillBuffer(*buffer, [&](std::uint8_t* data) {
        for (std::uint32_t index : corners) {
            if (indexSize == 4) {
                std::memcpy(data, &index, 4);
            } else {
                const auto shortIndex = static_cast<std::uint16_t>(index);
                std::memcpy(data, &shortIndex, 2);
            }
            data += indexSize;
        }
    });
    return buffer;
}

}  // namespace nevrik::graphics3d::detail
