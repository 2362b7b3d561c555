#pragma once

#include "modelgen/LittleEndianWriter.h"
#include "modelgen/Picture.h"

namespace nevrik::modelgen {

/// Encodes a picture as an uncompressed 24-bit Windows bitmap (bottom-up rows).
///
/// Stateless.
class BmpWriter {
public:
    static constexpr int kHeaderSize = 14 + 40;  // file header + BITMAPINFOHEADER

    static LittleEndianWriter encode(const Picture& picture);
};

}  // namespace nevrik::modelgen
