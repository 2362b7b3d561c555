#pragma once

#include "nevrik/graphics3d/Resource.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// Decides which client vertex arrays a draw needs (its array mask) and sets
/// up the pipeline for it. This base sets up nothing.
///
/// Shared by reference among appearances; the Context owns a default plain
/// shader. A shader destroyed while current stops being current. Used on
/// the thread of the current context.
class Shader : public Resource {
public:
    explicit Shader(std::uint32_t arrayMask = 0) noexcept : mArrayMask(arrayMask) {}
    ~Shader() override;

    virtual void enable() const {}
    virtual void disable() const {}

    /// Makes this the current context's shader: the previous one is
    /// disabled, the client arrays switch to this one's mask, and this one is
    /// enabled. Callers skip it when the shader is current already. False,
    /// doing nothing, without a current context.
    bool bind();
    /// Disables the current shader and every enabled client array of the
    /// current context (before drawing that bypasses the state objects).
    static void unbind();

    std::uint32_t getArrayMask() const noexcept { return mArrayMask; }
    void setArrayMask(std::uint32_t mask) noexcept { mArrayMask = mask; }

private:
    std::uint32_t mArrayMask;
};

}  // namespace nevrik::graphics3d
