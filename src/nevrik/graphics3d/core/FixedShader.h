#pragma once

#include "nevrik/graphics3d/core/Shader.h"

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
    /// The vertices' colours stand for the material's ambient and diffuse
    /// colours (colour material); meant with kColourArray in the array mask.
    static constexpr std::uint32_t kVertexColours = 0x8;

    explicit FixedShader(std::uint32_t arrayMask = 0, std::uint32_t flags = 0) noexcept
        : Shader(arrayMask), mFlags(flags) {}

    NEVRIK_CLASS_NAME(Shader, ":FixedShader")

    /// With kLighting: lighting on, and the local-viewer and two-sided light
    /// models as the flags say; with kVertexColours: colour material on.
    void enable() const override;
    /// Turns off what enable() turned on.
    void disable() const override;
    /// The calls of enable() and disable(), inline.
    void compileEnable(system::Assembler& assembler) const override;
    void compileDisable(system::Assembler& assembler) const override;

    std::uint32_t getFlags() const noexcept { return mFlags; }
    void setFlags(std::uint32_t flags) noexcept { mFlags = flags; }

protected:
    /// Whether enable() also turns on 2D texturing of unit 0 in modulate mode
    /// after the lighting, and disable() turns it off before.
    virtual bool texturesUnitZero() const noexcept { return false; }

private:
    template <class Calls>
    void sendEnable(const Calls& calls) const;
    template <class Calls>
    void sendDisable(const Calls& calls) const;

    std::uint32_t mFlags;
};

}  // namespace nevrik::graphics3d
