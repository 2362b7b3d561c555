#include "modelgen/BmpWriter.h"

namespace nevrik::modelgen {

namespace {

constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch

}  // namespace

LittleEndianWriter BmpWriter::encode(const Picture& picture) {
    const std::vector<std::uint8_t> pixels = picture.bgrRowsBottomUp(false, 4);
    const auto pixelBytes = static_cast<std::uint32_t>(pixels.size());
    LittleEndianWriter out;
    out.putU8('B');
    out.putU8('M');
    out.putU32(kHeaderSize + pixelBytes);
    out.putU32(0);  // two reserved words
    out.putU32(kHeaderSize);
    out.putU32(40);
    out.putU32(static_cast<std::uint32_t>(picture.getWidth()));
    // A positive height marks bottom-up rows.
    out.putU32(static_cast<std::uint32_t>(picture.getHeight()));
    out.putU16(1);   // planes
    out.putU16(24);  // bits per pixel
    out.putU32(0);   // BI_RGB: uncompressed
    out.putU32(pixelBytes);
    out.putU32(kPixelsPerMetre);
    out.putU32(kPixelsPerMetre);
    out.putU32(0);  // no palette
    out.putU32(0);
    for (std::uint8_t byte : pixels) {
        out.putU8(byte);
    }
    return out;
}

}  // namespace nevrik::modelgen
