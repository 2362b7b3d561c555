#pragma once

#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// An opaque 32-bit token given at construction, kept for whoever made it.
///
/// Reference-counted or held by value by its creator; any thread may read it.
class Accelerator : public object::Object, private object::Noncopyable {
public:
    explicit Accelerator(std::uint32_t value) noexcept : mValue(value) {}

    NEVRIK_CLASS_NAME(object::Object, ":Accelerator")

    std::uint32_t getValue() const noexcept { return mValue; }

private:
    std::uint32_t mValue;
};

}  // namespace nevrik::graphics3d
