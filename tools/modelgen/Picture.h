#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nevrik::modelgen {

/// An RGBA picture, 8 bits a channel, row 0 at the top.
///
/// Plain value owned by whoever painted it; single-threaded.
class Picture {
public:
    using Rgba = std::array<std::uint8_t, 4>;

    /// Throws std::invalid_argument unless both sides lie in 1 .. 65535.
    Picture(int width, int height);

    int getWidth() const noexcept { return mWidth; }
    int getHeight() const noexcept { return mHeight; }
    Rgba getPixel(int x, int y) const;
    void setPixel(int x, int y, Rgba colour);

    /// The pixels as blue, green, red (and alpha when `withAlpha`), bottom row first,
    /// each row padded with zeros to a multiple of `rowAlignment` bytes: the layout of
    /// both Windows bitmaps and bottom-up Targa files.
    std::vector<std::uint8_t> bgrRowsBottomUp(bool withAlpha, int rowAlignment) const;

private:
    std::size_t offsetOf(int x, int y) const;

    int mWidth;
    int mHeight;
    std::vector<std::uint8_t> mPixels;
};

}  // namespace nevrik::modelgen
