#pragma once

#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// Room for what a context can do: the OpenGL version and the shading
/// language version, as (major, minor) pairs. Nothing fills or reads them
/// yet; both stay (0, 0).
///
/// Held by value by its Context; used on the context's thread.
class Capabilities : public object::Object, private object::Noncopyable {
public:
    Capabilities() = default;

    const std::int32_t* getVersion() const noexcept { return mVersion; }
    const std::int32_t* getShadingVersion() const noexcept { return mShadingVersion; }

private:
    std::int32_t mVersion[2] = {0, 0};
    std::int32_t mShadingVersion[2] = {0, 0};
};

}  // namespace nevrik::graphics3d
