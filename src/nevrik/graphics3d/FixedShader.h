#pragma once

#include "nevrik/graphics3d/Shader.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// A shader of the fixed-function pipeline with lighting switches.
///
/// Shared by reference among appearances; used on the thread of the current
/// context.
class FixedShader : public Shader {
public:
    static constexpr std::uint32_t kLighting = 0x1;
    static constexpr std::uint32_t kTwoSided = 0x2;
    static constexpr std::uint32_t kLocalViewer = 0x4;

    explicit FixedShader(std::uint32_t arrayMask = 0, std::uint32_t flags = 0) noexcept
        : Shader(arrayMask), mFlags(flags) {}

    /// With kLighting: lighting on, and the two-sided and local-viewer light
    /// models as the flags say.
    void enable() const override;
    /// With kLighting: lighting off.
    void disable() const override;

    std::uint32_t getFlags() const noexcept { return mFlags; }
    void setFlags(std::uint32_t flags) noexcept { mFlags = flags; }

private:
    std::uint32_t mFlags;
};

}  // namespace nevrik::graphics3d
