#include "nevrik/graphics/TranslatorTIFF.h"

#include "nevrik/graphics/detail/Decoding.h"

#include <cstring>

namespace nevrik::graphics {

object::Pointer<Image> TranslatorTIFF::read(io::InputStream&, std::uint32_t) {
    return nullptr;
}

bool TranslatorTIFF::write(io::OutputStream&, Image&) {
    return false;
}

bool TranslatorTIFF::probe(io::File& file) {
    char magic[4] = {};
    return detail::peek(file, magic, 4) == 4 &&
           (std::memcmp(magic, "II*\0", 4) == 0 || std::memcmp(magic, "MM\0*", 4) == 0);
}

}  // namespace nevrik::graphics
