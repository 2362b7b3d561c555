#include "nevrik/graphics/FilterDecompress.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"

#include <array>
#include <cstdint>

namespace nevrik::graphics {
namespace {

using Rgba = std::array<int, 4>;

std::uint16_t word(const std::uint8_t* bytes) noexcept {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

// A 5-6-5 word (red in the high bits) widened to 8 bits a channel.
Rgba widen(std::uint16_t colour) noexcept {
    const int red = colour >> 11;
    const int green = (colour >> 5) & 0x3F;
    const int blue = colour & 0x1F;
    return {(red * 255 + 15) / 31, (green * 255 + 31) / 63, (blue * 255 + 15) / 31, 255};
}

Rgba mix(const Rgba& a, const Rgba& b, int weightA, int weightB) noexcept {
    Rgba out{};
    for (int c = 0; c < 4; ++c) {
        out[c] = (a[c] * weightA + b[c] * weightB) / (weightA + weightB);
    }
    return out;
}

// The 16 colours of a colour block; `threeColours` lets DXT1 choose its
// mode by the order of the end points.
void colourBlock(const std::uint8_t* block, bool threeColours, Rgba (&pixels)[16]) noexcept {
    const std::uint16_t first = word(block);
    const std::uint16_t second = word(block + 2);
    Rgba palette[4] = {widen(first), widen(second)};
    if (first > second || !threeColours) {
        palette[2] = mix(palette[0], palette[1], 2, 1);
        palette[3] = mix(palette[0], palette[1], 1, 2);
    } else {
        palette[2] = mix(palette[0], palette[1], 1, 1);
        palette[3] = {0, 0, 0, 0};
    }
    for (int i = 0; i < 16; ++i) {
        pixels[i] = palette[(block[4 + i / 4] >> (2 * (i % 4))) & 3];
    }
}

// DXT3: sixteen 4-bit alphas, low nibble first.
void explicitAlpha(const std::uint8_t* block, Rgba (&pixels)[16]) noexcept {
    for (int i = 0; i < 16; ++i) {
        pixels[i][3] = ((block[i / 2] >> (4 * (i % 2))) & 0xF) * 17;
    }
}

// DXT5: two end points and sixteen 3-bit indices into eight alphas.
void interpolatedAlpha(const std::uint8_t* block, Rgba (&pixels)[16]) noexcept {
    const int first = block[0];
    const int second = block[1];
    int alphas[8] = {first, second};
    if (first > second) {
        for (int i = 1; i < 7; ++i) {
            alphas[i + 1] = (first * (7 - i) + second * i) / 7;
        }
    } else {
        for (int i = 1; i < 5; ++i) {
            alphas[i + 1] = (first * (5 - i) + second * i) / 5;
        }
        alphas[6] = 0;
        alphas[7] = 255;
    }
    std::uint64_t indices = 0;
    for (int b = 7; b >= 2; --b) {
        indices = indices << 8 | block[b];
    }
    for (int i = 0; i < 16; ++i) {
        pixels[i][3] = alphas[(indices >> (3 * i)) & 7];
    }
}

object::Pointer<Bitmap> decompress(Image& source) {
    const std::uint32_t format = source.getFormat();
    const std::int32_t width = source.getWidth();
    const std::int32_t height = source.getHeight();
    auto target = object::make<Bitmap>(PIXEL_RGBA8, width, height);
    const std::uint8_t* block = source.lock();
    std::uint8_t* out = target->lock();
    const int blockBytes = format == PIXEL_DXT1 ? 8 : 16;
    for (std::int32_t by = 0; by < height; by += 4) {
        for (std::int32_t bx = 0; bx < width; bx += 4, block += blockBytes) {
            Rgba pixels[16];
            colourBlock(block + blockBytes - 8, format == PIXEL_DXT1, pixels);
            if (format == PIXEL_DXT3) {
                explicitAlpha(block, pixels);
            } else if (format == PIXEL_DXT5) {
                interpolatedAlpha(block, pixels);
            }
            // Blocks overhang the right and bottom edges of odd sizes.
            for (int i = 0; i < 16; ++i) {
                const std::int32_t x = bx + i % 4;
                const std::int32_t y = by + i / 4;
                if (x < width && y < height) {
                    std::uint8_t* pixel = out + (std::int64_t{y} * width + x) * 4;
                    for (int c = 0; c < 4; ++c) {
                        pixel[c] = static_cast<std::uint8_t>(pixels[i][c]);
                    }
                }
            }
        }
    }
    source.unlock();
    return target;
}

}  // namespace

object::Pointer<Image> FilterDecompress::apply(Image& source) {
    if (!isCompressed(source.getFormat()) || source.lock() == nullptr) {
        return nullptr;
    }
    object::Pointer<Bitmap> head = decompress(source);
    Bitmap* last = head.get();
    for (Image* next = source.getNext();
         next != nullptr && isCompressed(next->getFormat()) && next->lock() != nullptr;
         next = next->getNext()) {
        object::Pointer<Bitmap> level = decompress(*next);
        last->setNext(level.get());
        last = level.get();
    }
    return head;
}

}  // namespace nevrik::graphics
