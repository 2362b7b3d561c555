#pragma once

#include "modelgen/LittleEndianWriter.h"

#include <cstdint>
#include <functional>

namespace nevrik::modelgen {

/// Writes the nested chunks of a 3DS file: a 2-byte id, a 4-byte length that counts
/// the 6-byte header, the body and every sub-chunk, then the body.
///
/// Owned by value by the model writer; single-threaded.
class ChunkWriter : public LittleEndianWriter {
public:
    /// Writes chunk `id` whose body (data and sub-chunks) `body` writes, then patches its
    /// length. Throws std::length_error when the chunk outgrows the 32-bit length field.
    void chunk(std::uint16_t id, const std::function<void()>& body);
};

}  // namespace nevrik::modelgen
