#pragma once

#include "nevrik/graphics3d/core/Resource.h"

#include <cstdint>

namespace nevrik::system {
class Assembler;
}

namespace nevrik::graphics3d {

/// Fill modes, polygon offset and face culling, as one render-state object.
///
/// Shared by reference among appearances; the Context owns a default one.
/// Used on the thread of the current context.
class PolygonMode : public Resource {
public:
    static constexpr std::uint32_t kCullFront = 1;
    static constexpr std::uint32_t kCullBack = 2;
    /// GL_FILL, named for headers without OpenGL; PolygonMode.cpp holds it to GL's.
    static constexpr std::uint32_t kFill = 0x1B02;

    /// Both faces filled, back faces culled, no offset.
    PolygonMode() = default;
    /// Stops being the current context's current polygon mode.
    ~PolygonMode() override;

    NEVRIK_CLASS_NAME(Resource, ":PolygonMode")

    /// Sends the state to OpenGL; callers go through Context::apply. Equal
    /// front and back modes go in one call.
    void apply() const;
    /// Appends to `assembler` the step that makes this the current polygon
    /// mode of the context a render program keeps in ESI, then the calls
    /// apply() makes, with the same arguments.
    void compile(system::Assembler& assembler) const;

    void setModes(std::uint32_t front, std::uint32_t back) noexcept;
    /// kCullFront, kCullBack, or anything else for no culling.
    void setCull(std::uint32_t cull) noexcept { mCull = cull; }
    void setOffset(float units, float factor) noexcept;

    std::uint32_t getFrontMode() const noexcept { return mFrontMode; }
    std::uint32_t getBackMode() const noexcept { return mBackMode; }
    std::uint32_t getCull() const noexcept { return mCull; }
    float getOffsetUnits() const noexcept { return mOffsetUnits; }
    float getOffsetFactor() const noexcept { return mOffsetFactor; }

private:
    template <class Calls>
    void send(const Calls& calls) const;

    std::uint32_t mFrontMode = kFill;
    std::uint32_t mBackMode = kFill;
    std::uint32_t mCull = kCullBack;
    float mOffsetUnits = 0.0f;
    float mOffsetFactor = 0.0f;
};

}  // namespace nevrik::graphics3d
