#include "nevrik/graphics3d/core/ParameterBuffer.h"

#include "nevrik/graphics3d/core/TypeWord.h"

#include <cstddef>
#include <cstring>
#include <new>

namespace nevrik::graphics3d {
namespace {

// The block follows the object, aligned for any value it may hold.
constexpr std::size_t kDataOffset = (sizeof(ParameterBuffer) + alignof(std::max_align_t) - 1) /
                                    alignof(std::max_align_t) * alignof(std::max_align_t);

}  // namespace

object::Pointer<ParameterBuffer> ParameterBuffer::create(const ParameterFormat* format) {
    if (format == nullptr || format->getComponents().isEmpty()) {
        return nullptr;
    }
    const std::uint32_t size = format->getTotal();
    void* memory = ::operator new(kDataOffset + size);
    std::memset(static_cast<std::uint8_t*>(memory) + kDataOffset, 0, size);
    // Placement into one block with its data, so make() cannot build it.
    return object::Pointer<ParameterBuffer>::adopt(::new (memory) ParameterBuffer(format, size));
}

ParameterBuffer::ParameterBuffer(const ParameterFormat* format, std::uint32_t size) noexcept
    : mFormat(format), mSize(size) {}

void ParameterBuffer::operator delete(void* memory) noexcept {
    ::operator delete(memory);
}

void* ParameterBuffer::find(const char* name) noexcept {
    const ParameterFormat::Component* component = mFormat->find(name);
    if (component == nullptr ||
        std::uint64_t{component->offset} + TypeWord::getSize(component->type) > mSize) {
        return nullptr;
    }
    return getData() + component->offset;
}

std::uint8_t* ParameterBuffer::getData() noexcept {
    return reinterpret_cast<std::uint8_t*>(this) + kDataOffset;
}

const std::uint8_t* ParameterBuffer::getData() const noexcept {
    return reinterpret_cast<const std::uint8_t*>(this) + kDataOffset;
}

}  // namespace nevrik::graphics3d
