#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/io/Translator.h"

namespace nevrik::graphics {

/// Reads Truevision TGA pictures: colour-mapped (type 1), true-colour
/// (type 2) and run-length true-colour (type 10), 8, 15, 16, 24 or 32 bits
/// per pixel.
///
/// Held by value in the graphics TranslatorRoster or used alone; keeps no
/// state between reads. One thread at a time.
class TranslatorTGA : public io::Translator<Image> {
public:
    static constexpr int kHeaderSize = 18;

    /// Rows come out top first whatever the file's origin; 15- and 16-bit
    /// pixels as PIXEL_RGB555 with red in bits 0-4. `size` is not used.
    /// Throws TranslatorFormatException for another image type, pixel depth
    /// or colour-map entry size, TranslatorMemoryException when the picture
    /// cannot be made.
    object::Pointer<Image> read(io::InputStream& stream, std::uint32_t size) override;
    /// Not supported: returns false.
    bool write(io::OutputStream& stream, Image& image) override;
    /// Colour-map type 0 or 1 and image type up to 11: weak, so the roster
    /// asks it late.
    bool probe(io::File& file) override;

    NEVRIK_CLASS_NAME(io::Translator<Image>, ":TranslatorTGA")
};

}  // namespace nevrik::graphics
