#pragma once

#include "nevrik/graphics3d/core/ParameterFormat.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// One block of per-draw parameters laid out by a ParameterFormat, in a
/// single allocation with the object itself.
///
/// Reference-counted; made only by create(). Holds a reference on its
/// format, whose size at creation it keeps: components added to the format
/// later are not in the block. Not synchronised.
class ParameterBuffer : public object::Object, private object::Noncopyable {
public:
    /// A new buffer (reference count 1, the caller's) with a zeroed block
    /// of `format`'s size. Null when `format` is null or has no components.
    static object::Pointer<ParameterBuffer> create(const ParameterFormat* format);

    NEVRIK_CLASS_NAME(object::Object, ":ParameterBuffer")

    /// The bytes of the first component called `name`, or null when the
    /// format has none or it lies beyond the block.
    void* find(const char* name) noexcept;

    const ParameterFormat* getFormat() const noexcept { return mFormat.get(); }
    std::uint32_t getSize() const noexcept { return mSize; }
    /// The block, aligned for any value.
    std::uint8_t* getData() noexcept;
    const std::uint8_t* getData() const noexcept;

    /// Frees the one allocation that create() made.
    static void operator delete(void* memory) noexcept;

private:
    ParameterBuffer(const ParameterFormat* format, std::uint32_t size) noexcept;
    ~ParameterBuffer() override = default;

    object::Pointer<const ParameterFormat> mFormat;
    std::uint32_t mSize;
};

}  // namespace nevrik::graphics3d
