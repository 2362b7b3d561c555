#include "modelgen/TgaWriter.h"

namespace nevrik::modelgen {

namespace {

constexpr std::uint8_t kTrueColour = 2;
constexpr std::uint8_t kAlphaBits = 8;  // descriptor bits 0-3; bit 0x20 clear: bottom row first

}  // namespace

LittleEndianWriter TgaWriter::encode(const Picture& picture) {
    LittleEndianWriter out;
    out.putU8(0);  // no image ID
    out.putU8(0);  // no colour map
    out.putU8(kTrueColour);
    for (int i = 0; i < 5; ++i) {
        out.putU8(0);  // colour-map fields, unused
    }
    out.putU16(0);  // x origin
    out.putU16(0);  // y origin
    out.putU16(static_cast<std::uint16_t>(picture.getWidth()));
    out.putU16(static_cast<std::uint16_t>(picture.getHeight()));
    out.putU8(32);
    out.putU8(kAlphaBits);
    for (std::uint8_t byte : picture.bgrRowsBottomUp(true, 1)) {
        out.putU8(byte);
    }
    return out;
}

}  // namespace nevrik::modelgen
