#pragma once

#include "modelgen/LittleEndianWriter.h"
#include "modelgen/Picture.h"

namespace nevrik::modelgen {

/// Encodes a picture as an uncompressed 32-bit true-colour Targa file (image type 2,
/// bottom-left origin, 8 alpha bits).
///
/// Stateless.
class TgaWriter {
public:
    static constexpr int kHeaderSize = 18;

    static LittleEndianWriter encode(const Picture& picture);
};

}  // namespace nevrik::modelgen
