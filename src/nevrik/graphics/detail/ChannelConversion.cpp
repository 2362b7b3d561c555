#include "nevrik/graphics/detail/ChannelConversion.h"

#include "nevrik/io/TranslatorFormatException.h"

#include <bitset>
#include <cstring>

namespace nevrik::graphics::detail {
namespace {

constexpr std::uint32_t kMaskedFormats[] = {PIXEL_A8,    PIXEL_RGB555, PIXEL_RGB565, PIXEL_A16,
                                            PIXEL_RGB8,  PIXEL_BGR8,   PIXEL_RGBA8,  PIXEL_BGRA8,
                                            PIXEL_RGB16, PIXEL_BGR16,  PIXEL_RGBA16, PIXEL_BGRA16};

int widthOf(std::uint64_t mask) noexcept {
    return static_cast<int>(std::bitset<64>(mask).count());
}

int shiftOf(std::uint64_t mask) noexcept {
    int shift = 0;
    for (; mask != 0 && (mask & 1) == 0; mask >>= 1) {
        ++shift;
    }
    return shift;
}

// One run of at most 16 set bits inside a pixel of `bits` (below 64) bits,
// or nothing.
bool isChannel(std::uint64_t mask, int bits) noexcept {
    if (mask == 0) {
        return true;
    }
    const std::uint64_t run = mask >> shiftOf(mask);
    return (run & (run + 1)) == 0 && widthOf(mask) <= 16 && mask >> bits == 0;
}

bool sameWidths(const ChannelMasks& file, const ChannelMasks& format) noexcept {
    const bool alpha = widthOf(file.alpha) == widthOf(format.alpha) || file.alpha == 0;
    return widthOf(file.red) == widthOf(format.red) && widthOf(file.green) == widthOf(format.green) &&
           widthOf(file.blue) == widthOf(format.blue) && alpha;
}

std::uint64_t scale(std::uint64_t value, int from, int to) noexcept {
    if (from == 0) {
        return 0;
    }
    const std::uint64_t fromMax = (std::uint64_t{1} << from) - 1;
    const std::uint64_t toMax = (std::uint64_t{1} << to) - 1;
    return (value * toMax + fromMax / 2) / fromMax;
}

std::uint64_t load(const std::uint8_t* bytes, int count) noexcept {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

}  // namespace

std::uint32_t formatForMasks(int bits, const ChannelMasks& masks) {
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        throw io::TranslatorFormatException();
    }
    const bool channels = isChannel(masks.red, bits) && isChannel(masks.green, bits) &&
                          isChannel(masks.blue, bits) && isChannel(masks.alpha, bits);
    const bool any = (masks.red | masks.green | masks.blue | masks.alpha) != 0;
    if (!channels || !any) {
        throw io::TranslatorFormatException();
    }
    for (const std::uint32_t format : kMaskedFormats) {
        if (getBytesPerPixel(format) * 8 == bits && getChannelMasks(format) == masks) {
            return format;
        }
    }
    // Better only alpha to fill than channels to move.
    for (const std::uint32_t format : kMaskedFormats) {
        const ChannelMasks target = getChannelMasks(format);
        const bool colours =
            target.red == masks.red && target.green == masks.green && target.blue == masks.blue;
        if (getBytesPerPixel(format) * 8 == bits && colours && masks.alpha == 0) {
            return format;
        }
    }
    for (const std::uint32_t format : kMaskedFormats) {
        if (getBytesPerPixel(format) * 8 == bits && sameWidths(masks, getChannelMasks(format))) {
            return format;
        }
    }
    return masks.alpha != 0 ? PIXEL_BGRA8 : PIXEL_BGR8;
}

void convertMasked(const std::uint8_t* in, int bits, const ChannelMasks& masks, std::uint8_t* out,
                   std::uint32_t format, std::int64_t count) noexcept {
    if (count <= 0) {
        return;
    }
    const int inBytes = bits / 8;
    const int outBytes = getBytesPerPixel(format);
    const ChannelMasks target = getChannelMasks(format);
    if (target == masks && inBytes == outBytes) {
        std::memcpy(out, in, static_cast<std::size_t>(count * inBytes));
        return;
    }
    const std::uint64_t from[] = {masks.red, masks.green, masks.blue, masks.alpha};
    const std::uint64_t to[] = {target.red, target.green, target.blue, target.alpha};
    for (std::int64_t i = 0; i < count; ++i) {
        const std::uint64_t pixel = load(in + i * inBytes, inBytes);
        std::uint64_t result = 0;
        for (int c = 0; c < 4; ++c) {
            const int toWidth = widthOf(to[c]);
            std::uint64_t value = (pixel & from[c]) >> shiftOf(from[c]);
            value = from[c] == 0 && c == 3 ? (std::uint64_t{1} << toWidth) - 1
                                           : scale(value, widthOf(from[c]), toWidth);
            result |= value << shiftOf(to[c]);
        }
        for (int b = 0; b < outBytes; ++b) {
            out[i * outBytes + b] = static_cast<std::uint8_t>(result >> (8 * b));
        }
    }
}

}  // namespace nevrik::graphics::detail
