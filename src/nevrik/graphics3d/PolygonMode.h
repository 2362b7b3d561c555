#pragma once

#include "nevrik/graphics3d/Resource.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// Fill modes, polygon offset and face culling, as one render-state object.
///
/// Shared by reference among appearances; the Context owns a default one.
/// Used on the thread of the current context.
class PolygonMode : public Resource {
public:
    static constexpr std::uint32_t kCullFront = 1;
    static constexpr std::uint32_t kCullBack = 2;

    /// Both faces filled, back faces culled, no offset.
    PolygonMode() = default;
    /// Stops being the current context's current polygon mode.
    ~PolygonMode() override;

    /// Sends the state to OpenGL; callers go through Context::apply.
    void apply() const;

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
    std::uint32_t mFrontMode = 0x1B02;
    std::uint32_t mBackMode = 0x1B02;
    std::uint32_t mCull = kCullBack;
    float mOffsetUnits = 0.0f;
    float mOffsetFactor = 0.0f;
};

}  // namespace nevrik::graphics3d
