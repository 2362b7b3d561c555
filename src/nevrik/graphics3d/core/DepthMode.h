#pragma once

#include "nevrik/graphics3d/core/Resource.h"

#include <cstdint>

namespace nevrik::system {
class Assembler;
}

namespace nevrik::graphics3d {

/// The depth test, depth writes and the depth range, as one render-state
/// object.
///
/// Shared by reference among appearances; the Context owns a default one.
/// Used on the thread of the current context.
class DepthMode : public Resource {
public:
    /// GL_LEQUAL, named for headers without OpenGL; DepthMode.cpp holds it to GL's.
    static constexpr std::int32_t kLessOrEqual = 0x0203;

    /// Test GL_LEQUAL, writes on, range 0 to 1.
    DepthMode() = default;
    /// Stops being the current context's current depth mode.
    ~DepthMode() override;

    NEVRIK_CLASS_NAME(Resource, ":DepthMode")

    /// Sends the state to OpenGL; callers go through Context::apply.
    void apply() const;
    /// Appends to `assembler` the step that makes this the current depth mode
    /// of the context a render program keeps in ESI, then the calls apply()
    /// makes, with the same arguments.
    void compile(system::Assembler& assembler) const;

    /// `function` -1 turns the depth test off.
    void setFunction(std::int32_t function) noexcept { mFunction = function; }
    void setWriteMask(bool write) noexcept { mWriteMask = write ? 1 : 0; }
    void setRange(float nearValue, float farValue) noexcept;

    float getRangeNear() const noexcept { return mRangeNear; }
    float getRangeFar() const noexcept { return mRangeFar; }
    std::int32_t getFunction() const noexcept { return mFunction; }
    bool getWriteMask() const noexcept { return mWriteMask != 0; }

private:
    template <class Calls>
    void send(const Calls& calls) const;

    float mRangeNear = 0.0f;
    float mRangeFar = 1.0f;
    std::int32_t mFunction = kLessOrEqual;
    std::uint8_t mWriteMask = 1;
};

}  // namespace nevrik::graphics3d
