#include "nevrik/freetype/detail/Coverage.h"

#include <algorithm>

namespace nevrik::freetype::detail {
namespace {

// Pixel x of a row packed `bits` to the pixel, leftmost pixel in the high bits.
int packedLevel(const std::uint8_t* row, int x, int bits) noexcept {
    const int perByte = 8 / bits;
    const int shift = 8 - bits * (x % perByte + 1);
    return (row[x / perByte] >> shift) & ((1 << bits) - 1);
}

// Spreads levels 0 .. top over 0 .. 255 so that the top level is full coverage.
std::uint8_t scaled(int level, int top) noexcept {
    return static_cast<std::uint8_t>(std::min(level, top) * 255 / top);
}

// Bits per pixel and the level of full coverage.
struct Depth {
    int bits;
    int top;
};

// A zero depth for a mode without coverage to take (colour, LCD).
Depth depthOf(const GlyphBitmap& glyph) noexcept {
    switch (static_cast<PixelMode>(glyph.mode)) {
        case PixelMode::kMono:
            return {1, 1};
        case PixelMode::kGray:
            return {8, glyph.grayLevels >= 2 && glyph.grayLevels <= 256 ? glyph.grayLevels - 1 : 255};
        case PixelMode::kGray2:
            return {2, 3};
        case PixelMode::kGray4:
            return {4, 15};
    }
    return {0, 0};
}

}  // namespace

bool copyCoverage(const GlyphBitmap& glyph, std::uint8_t* cell, int cellPitch, int cellWidth,
                  int cellRows) noexcept {
    const Depth depth = depthOf(glyph);
    if (depth.bits == 0) {
        return false;
    }
    const int width = std::min(glyph.width, cellWidth);
    const int rows = std::min(glyph.rows, cellRows);
    if (glyph.buffer == nullptr) {
        return true;
    }
    const std::uint8_t* row = glyph.buffer;
    if (glyph.pitch < 0) {
        row -= static_cast<std::ptrdiff_t>(glyph.pitch) * (glyph.rows - 1);
    }
    for (int y = 0; y < rows; ++y, row += glyph.pitch, cell += cellPitch) {
        for (int x = 0; x < width; ++x) {
            cell[x] = scaled(depth.bits == 8 ? row[x] : packedLevel(row, x, depth.bits), depth.top);
        }
    }
    return true;
}

}  // namespace nevrik::freetype::detail
