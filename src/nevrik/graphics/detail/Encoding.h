#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/graphics/Palette.h"
#include "nevrik/io/OutputStream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nevrik::graphics::detail {

/// An image's pixels in one of the three layouts every writer takes:
/// PIXEL_INDEX8 with its palette, PIXEL_RGB8, or PIXEL_RGBA8 when the
/// image's format has alpha. Rows top first, tightly packed.
struct WritablePixels {
    std::uint32_t format = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> pixels;
    Palette<uchar> palette;
};

/// Fills `out` from `image`: indexed images as they are, any format with a
/// channel layout (getChannelMasks) widened or narrowed to 8 bits a channel,
/// compressed ones decoded. False, for formats none of that covers (floats,
/// grey with alpha, depth) or an image without pixels.
bool toWritable(Image& image, WritablePixels& out);

/// Appends little-endian fields.
void put16(std::string& out, std::uint32_t value);
void put32(std::string& out, std::uint32_t value);

/// Writes all `count` bytes, going on after short writes; false when the
/// stream takes no more.
bool writeAll(io::OutputStream& stream, const void* bytes, std::size_t count);

}  // namespace nevrik::graphics::detail
