#pragma once

#include <cstdint>

namespace nevrik::graphics3d::detail {

/// How pixels of one of the engine's formats reach OpenGL.
struct GlPixelFormat {
    std::uint32_t internalFormat = 0;
    std::uint32_t format = 0;
    std::uint32_t type = 0;
};

/// The OpenGL formats of a pixel format; false for one that makes no texture.
bool translatePixelFormat(std::uint32_t pixelFormat, GlPixelFormat& gl) noexcept;

/// The pixel format of a texture level's internal format; 0 when none matches.
std::uint32_t pixelFormatOf(std::int32_t internalFormat) noexcept;

/// The texture-binding query of a target; 0 for an unknown target.
std::uint32_t bindingQueryOf(std::uint32_t target) noexcept;

}  // namespace nevrik::graphics3d::detail
