#pragma once

#include <cstdint>

namespace nevrik::freetype::detail {

/// How a rendered glyph stores its pixels; the values are FreeType's pixel modes.
enum class PixelMode : int {
    kMono = 1,   ///< 1 bit per pixel, most significant bit first
    kGray = 2,   ///< 1 byte per pixel, 0 .. grayLevels - 1
    kGray2 = 3,  ///< 2 bits per pixel, most significant pair first
    kGray4 = 4,  ///< 4 bits per pixel, high nibble first
};

/// A rendered glyph bitmap as FreeType hands it over.
struct GlyphBitmap {
    const std::uint8_t* buffer = nullptr;
    /// Bytes from one row to the one below; negative when memory holds the
    /// rows bottom-up (the buffer then starts with the bottom row).
    int pitch = 0;
    int width = 0;
    int rows = 0;
    int mode = 0;
    /// Levels of a kGray bitmap, 256 for FreeType's own renderer.
    int grayLevels = 256;
};

/// Writes `glyph` as 8-bit coverage (0 clear .. 255 fully covered) into the
/// cell at `cell`, whose rows lie `cellPitch` bytes apart, cut to
/// cellWidth x cellRows so that it never spills into a neighbour. Returns
/// false, writing nothing, for a pixel mode it does not know.
bool copyCoverage(const GlyphBitmap& glyph, std::uint8_t* cell, int cellPitch, int cellWidth,
                  int cellRows) noexcept;

}  // namespace nevrik::freetype::detail
