#pragma once

#include "nevrik/graphics/PixelFormat.h"

#include <cstdint>

namespace nevrik::graphics::detail {

/// The engine format for file pixels of `bits` bits laid out by `masks`
/// (little-endian, as getChannelMasks): the format with exactly those masks;
/// else one of the same size with the same channel widths in another order,
/// or without the alpha the file lacks; else PIXEL_BGRA8 (PIXEL_BGR8 without
/// alpha), which holds any channel of up to 8 bits. Throws
/// TranslatorFormatException for masks no format describes: `bits` not 8, 16,
/// 24 or 32, no colour or alpha at all, or a mask that is not one run of bits
/// inside the pixel.
std::uint32_t formatForMasks(int bits, const ChannelMasks& masks);

/// Converts `count` pixels of `bits` bits laid out by `masks` into `format`
/// (as chosen by formatForMasks): each channel is scaled to its width there;
/// alpha the file lacks is opaque. Same layouts are copied as they are.
void convertMasked(const std::uint8_t* in, int bits, const ChannelMasks& masks, std::uint8_t* out,
                   std::uint32_t format, std::int64_t count) noexcept;

}  // namespace nevrik::graphics::detail
