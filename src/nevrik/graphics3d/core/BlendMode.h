#pragma once

#include "nevrik/graphics3d/core/Resource.h"

#include <cstdint>

namespace nevrik::system {
class Assembler;
}

namespace nevrik::graphics3d {

/// Blending and the alpha test, as one render-state object.
///
/// Shared by reference among appearances; the Context owns a default one.
/// Used on the thread of the current context.
class BlendMode : public Resource {
public:
    /// GL_ONE, GL_ZERO and GL_FUNC_ADD, named for headers without OpenGL;
    /// BlendMode.cpp holds them to GL's.
    static constexpr std::uint32_t kOne = 1;
    static constexpr std::uint32_t kZero = 0;
    static constexpr std::uint32_t kFunctionAdd = 0x8006;

    /// (GL_ONE, GL_ZERO): no blending.
    BlendMode() = default;
    BlendMode(std::uint32_t source, std::uint32_t destination) noexcept
        : mSource(source), mDestination(destination) {}
    /// Stops being the current context's current blend mode.
    ~BlendMode() override;

    NEVRIK_CLASS_NAME(Resource, ":BlendMode")

    /// Sends the state to OpenGL. Callers go through Context::apply, which
    /// skips a mode that is in force already. The blend equation and the
    /// constant colour are sent only when the driver has their entry points.
    void apply() const;
    /// Appends to `assembler` the step that makes this the current blend mode
    /// of the context a render program keeps in ESI, then the calls apply()
    /// makes, with the same arguments.
    void compile(system::Assembler& assembler) const;
    /// Blending off: (GL_ONE, GL_ZERO), whatever the equation and colour.
    bool isOpaque() const noexcept;

    void setFunction(std::uint32_t source, std::uint32_t destination) noexcept;
    void setEquation(std::uint32_t equation) noexcept { mEquation = equation; }
    /// The constant colour, sent only with a constant-colour factor (0x8001 up).
    void setColour(float red, float green, float blue, float alpha) noexcept;
    /// `function` -1 turns the alpha test off.
    void setAlphaTest(std::int32_t function, float reference) noexcept;

    std::uint32_t getSource() const noexcept { return mSource; }
    std::uint32_t getDestination() const noexcept { return mDestination; }
    std::uint32_t getEquation() const noexcept { return mEquation; }
    const float* getColour() const noexcept { return mColour; }
    std::int32_t getAlphaFunction() const noexcept { return mAlphaFunction; }
    float getAlphaReference() const noexcept { return mAlphaReference; }

private:
    template <class Calls>
    void send(const Calls& calls) const;

    std::uint32_t mSource = kOne;
    std::uint32_t mDestination = kZero;
    std::uint32_t mEquation = kFunctionAdd;
    float mColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    std::int32_t mAlphaFunction = -1;
    float mAlphaReference = 0.0f;
};

}  // namespace nevrik::graphics3d
