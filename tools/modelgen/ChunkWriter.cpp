#include "modelgen/ChunkWriter.h"

#include <limits>
#include <stdexcept>

namespace nevrik::modelgen {

void ChunkWriter::chunk(std::uint16_t id, const std::function<void()>& body) {
    const std::size_t start = size();
    putU16(id);
    putU32(0);  // patched once the body's size is known
    body();
    const std::size_t length = size() - start;
    if (length > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("3DS chunk longer than 4 GiB");
    }
    patchU32(start + 2, static_cast<std::uint32_t>(length));
}

}  // namespace nevrik::modelgen
