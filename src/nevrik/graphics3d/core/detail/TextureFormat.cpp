#include "nevrik/graphics3d/core/detail/TextureFormat.h"

#include "nevrik/graphics/PixelFormat.h"

#include <GL/glew.h>

namespace nevrik::graphics3d::detail {
namespace {

using namespace graphics;

struct Translation {
    std::uint32_t pixelFormat;
    GlPixelFormat gl;
};

// Each type's size per pixel matches the image's bytes per pixel, so that an
// upload reads exactly the image's rows, and each format and type read the
// channels where the image's format keeps them (graphics::getChannelMasks).
constexpr Translation kTranslations[] = {
    {PIXEL_INDEX8, {GL_RGB8, GL_COLOR_INDEX, GL_UNSIGNED_BYTE}},
    {PIXEL_A8, {GL_ALPHA8, GL_ALPHA, GL_UNSIGNED_BYTE}},
    // The codecs keep red in bits 0-4 of the word.
    {PIXEL_RGB555, {GL_RGB5, GL_RGBA, GL_UNSIGNED_SHORT_1_5_5_5_REV}},
    {PIXEL_RGB565, {GL_RGB5, GL_RGB, GL_UNSIGNED_SHORT_5_6_5}},
    {PIXEL_RGB16, {GL_RGB16, GL_RGB, GL_UNSIGNED_SHORT}},
    {PIXEL_BGR16, {GL_RGB16, GL_BGR, GL_UNSIGNED_SHORT}},
    {PIXEL_A16, {GL_ALPHA16, GL_ALPHA, GL_UNSIGNED_SHORT}},
    {PIXEL_DUDV8, {GL_DU8DV8_ATI, GL_DUDV_ATI, GL_BYTE}},
    {PIXEL_RGB8, {GL_RGB8, GL_RGB, GL_UNSIGNED_BYTE}},
    {PIXEL_BGR8, {GL_RGB8, GL_BGR, GL_UNSIGNED_BYTE}},
    {PIXEL_RGBA8, {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE}},
    {PIXEL_BGRA8, {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE}},
    {PIXEL_RGBA16, {GL_RGBA16, GL_RGBA, GL_UNSIGNED_SHORT}},
    {PIXEL_BGRA16, {GL_RGBA16, GL_BGRA, GL_UNSIGNED_SHORT}},
    // Half floats are two bytes each: GL_FLOAT would read twice the row.
    {PIXEL_RGB16F, {GL_RGB16F_ARB, GL_RGB, GL_HALF_FLOAT_ARB}},
    {PIXEL_RGBA16F, {GL_RGBA16F_ARB, GL_RGBA, GL_HALF_FLOAT_ARB}},
    {PIXEL_RGB32F, {GL_RGB32F_ARB, GL_RGB, GL_FLOAT}},
    {PIXEL_RGBA32F, {GL_RGBA32F_ARB, GL_RGBA, GL_FLOAT}},
    // Blocks go up as they are; Texture2D decodes them where the driver
    // lacks S3TC.
    {PIXEL_DXT1, {GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, GL_RGBA, GL_UNSIGNED_BYTE}},
    {PIXEL_DXT3, {GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, GL_RGBA, GL_UNSIGNED_BYTE}},
    {PIXEL_DXT5, {GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, GL_RGBA, GL_UNSIGNED_BYTE}},
    // Depth images carry no pixels: these only make empty textures.
    {PIXEL_DEPTH16, {GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_FLOAT}},
    {PIXEL_DEPTH24, {GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT, GL_FLOAT}},
};

struct Reverse {
    GLint internalFormat;
    std::uint32_t pixelFormat;
};

constexpr Reverse kReverse[] = {
    {1, PIXEL_INDEX8},
    {GL_ALPHA8, PIXEL_A8},
    {GL_ALPHA16, PIXEL_A16},
    {GL_RGB8, PIXEL_RGB8},
    {GL_RGB16, PIXEL_RGB16},
    {GL_RGBA8, PIXEL_RGBA8},
    {GL_RGBA16, PIXEL_RGBA16},
    {GL_RGBA32F_ARB, PIXEL_RGBA32F},
    {GL_RGB32F_ARB, PIXEL_RGB32F},
    {GL_ALPHA32F_ARB, PIXEL_A32F},
    {GL_RGBA16F_ARB, PIXEL_RGBA16F},
    {GL_RGB16F_ARB, PIXEL_RGB16F},
    {GL_ALPHA16F_ARB, PIXEL_A16F},
    {GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, PIXEL_DXT1},
    {GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, PIXEL_DXT3},
    {GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, PIXEL_DXT5},
};

}  // namespace

bool translatePixelFormat(std::uint32_t pixelFormat, GlPixelFormat& gl) noexcept {
    for (const Translation& translation : kTranslations) {
        if (translation.pixelFormat == pixelFormat) {
            gl = translation.gl;
            return true;
        }
    }
    return false;
}

std::uint32_t pixelFormatOf(std::int32_t internalFormat) noexcept {
    for (const Reverse& reverse : kReverse) {
        if (reverse.internalFormat == internalFormat) {
            return reverse.pixelFormat;
        }
    }
    return 0;
}

std::uint32_t bindingQueryOf(std::uint32_t target) noexcept {
    switch (target) {
        case GL_TEXTURE_1D:
            return GL_TEXTURE_BINDING_1D;
        case GL_TEXTURE_2D:
            return GL_TEXTURE_BINDING_2D;
        case GL_TEXTURE_3D:
            return GL_TEXTURE_BINDING_3D;
        case GL_TEXTURE_CUBE_MAP:
            return GL_TEXTURE_BINDING_CUBE_MAP;
        default:
            return 0;
    }
}

}  // namespace nevrik::graphics3d::detail
