#pragma once

#include "nevrik/graphics3d/core/Resource.h"

#include <cstdint>

namespace nevrik::system {
class Assembler;
}

namespace nevrik::graphics3d {

/// The stencil test, stencil operations and write mask, as one render-state
/// object.
///
/// Shared by reference among appearances; the Context owns a default one.
/// Used on the thread of the current context.
class StencilMode : public Resource {
public:
    /// GL_KEEP, named for headers without OpenGL; StencilMode.cpp holds it to GL's.
    static constexpr std::uint32_t kKeep = 0x1E00;

    /// Test off, GL_KEEP for every operation, mask all ones, write mask 0.
    StencilMode() = default;
    /// Stops being the current context's current stencil mode.
    ~StencilMode() override;

    NEVRIK_CLASS_NAME(Resource, ":StencilMode")

    /// Sends the state to OpenGL; callers go through Context::apply.
    void apply() const;
    /// Appends to `assembler` the step that makes this the current stencil
    /// mode of the context a render program keeps in ESI, then the calls
    /// apply() makes, with the same arguments.
    void compile(system::Assembler& assembler) const;

    void setOperations(std::uint32_t fail, std::uint32_t depthFail, std::uint32_t pass) noexcept;
    /// `function` -1 turns the stencil test off.
    void setFunction(std::int32_t function, std::int32_t reference, std::uint32_t mask) noexcept;
    void setWriteMask(std::uint32_t mask) noexcept { mWriteMask = mask; }

    std::uint32_t getFailOperation() const noexcept { return mFailOperation; }
    std::uint32_t getDepthFailOperation() const noexcept { return mDepthFailOperation; }
    std::uint32_t getPassOperation() const noexcept { return mPassOperation; }
    std::int32_t getFunction() const noexcept { return mFunction; }
    std::int32_t getReference() const noexcept { return mReference; }
    std::uint32_t getMask() const noexcept { return mMask; }
    std::uint32_t getWriteMask() const noexcept { return mWriteMask; }

private:
    template <class Calls>
    void send(const Calls& calls) const;

    std::uint32_t mFailOperation = kKeep;
    std::uint32_t mDepthFailOperation = kKeep;
    std::uint32_t mPassOperation = kKeep;
    std::int32_t mFunction = -1;
    std::int32_t mReference = 0;
    std::uint32_t mMask = 0xFFFFFFFFu;
    std::uint32_t mWriteMask = 0;
};

}  // namespace nevrik::graphics3d
