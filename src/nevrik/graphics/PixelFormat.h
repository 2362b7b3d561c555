#pragma once

#include <cstdint>

namespace nevrik::graphics {

/// Pixel format codes. Bits 16-27 hold the bits per pixel for most formats,
/// the top four bits mark half-float (1), float (3) and depth (4) formats, and
/// the low 16 bits tell apart formats of the same size. Channels are listed in
/// memory order.
///
/// Packed and byte formats are defined by their channel masks
/// (getChannelMasks): the bits each channel takes when a pixel's bytes are
/// read as one little-endian number. Every codec produces, and the texture
/// upload consumes, exactly that layout. Note the two 16-bit colour formats
/// differ: PIXEL_RGB555 keeps red in the low bits, PIXEL_RGB565 in the high.
enum PixelFormat : std::uint32_t {
    PIXEL_INDEX8 = 0x00080006u,   ///< palette index
    PIXEL_A8 = 0x0008000Du,       ///< alpha
    PIXEL_RGB555 = 0x00100002u,   ///< 16-bit word: red bits 0-4, green 5-9, blue 10-14
    PIXEL_RGB565 = 0x00100003u,   ///< 16-bit word: blue bits 0-4, green 5-10, red 11-15
    PIXEL_RGB16 = 0x00100009u,    ///< red, green, blue, 16 bits each
    PIXEL_BGR16 = 0x0010000Bu,    ///< blue, green, red, 16 bits each
    PIXEL_A16 = 0x0010000Eu,      ///< alpha, 16 bits
    PIXEL_LA8 = 0x0010000Fu,      ///< grey, alpha
    PIXEL_DUDV8 = 0x00100011u,    ///< signed du, dv
    PIXEL_RGB8 = 0x00180004u,     ///< red, green, blue
    PIXEL_BGR8 = 0x00180007u,     ///< blue, green, red
    PIXEL_RGBA8 = 0x00200001u,    ///< red, green, blue, alpha
    PIXEL_BGRA8 = 0x00200008u,    ///< blue, green, red, alpha
    PIXEL_RGBA16 = 0x0040000Au,   ///< red, green, blue, alpha, 16 bits each
    PIXEL_BGRA16 = 0x0040000Cu,   ///< blue, green, red, alpha, 16 bits each
    PIXEL_A16F = 0x10100017u,     ///< alpha, half float
    PIXEL_RGB16F = 0x10300014u,   ///< red, green, blue, half floats
    PIXEL_RGBA16F = 0x10400013u,  ///< red, green, blue, alpha, half floats
    PIXEL_A32F = 0x3020001Eu,     ///< alpha, float (no pitch)
    PIXEL_RGB32F = 0x3060001Au,   ///< red, green, blue, floats
    PIXEL_RGBA32F = 0x30800019u,  ///< red, green, blue, alpha, floats
    PIXEL_DEPTH16 = 0x40000040u,  ///< depth (no pitch)
    PIXEL_DEPTH24 = 0x40000041u,  ///< depth (no pitch)
    PIXEL_DXT1 = 0x80000080u,     ///< 8-byte blocks of 4 x 4 pixels (no pitch)
    PIXEL_DXT3 = 0x80000081u,     ///< 16-byte blocks of 4 x 4 pixels (no pitch)
    PIXEL_DXT5 = 0x80000082u,     ///< 16-byte blocks of 4 x 4 pixels (no pitch)
};

/// The bits of each channel in a pixel read as a little-endian number; 0 for
/// a channel the format lacks.
struct ChannelMasks {
    std::uint64_t red = 0;
    std::uint64_t green = 0;
    std::uint64_t blue = 0;
    std::uint64_t alpha = 0;

    bool operator==(const ChannelMasks& other) const noexcept {
        return red == other.red && green == other.green && blue == other.blue && alpha == other.alpha;
    }
};

/// The channel layout of an integer colour or alpha format; all masks 0 for
/// the rest (indices, grey, floats, depth, compressed blocks).
ChannelMasks getChannelMasks(std::uint32_t format) noexcept;

/// Whether `format` is one of the block-compressed DXT formats.
bool isCompressed(std::uint32_t format) noexcept;

/// Bytes per pixel by the pitch rule: the codes above and eight more that no
/// codec makes (0x00200010, 0x00200012, 0x00240005, 0x10200018, 0x10300016,
/// 0x10400015, 0x3060001C, 0x3080001B). Every other code, PIXEL_A32F, the
/// depth and the DXT formats among them, has 0: its rows hold no bytes.
int getBytesPerPixel(std::uint32_t format) noexcept;

/// Bytes of a width x height picture: height x pitch by the pitch rule, or
/// for the DXT formats the count of 4 x 4 blocks covering it times the block
/// size. 0 for a negative side.
std::int64_t getImageBytes(std::uint32_t format, std::int64_t width, std::int64_t height) noexcept;

}  // namespace nevrik::graphics
