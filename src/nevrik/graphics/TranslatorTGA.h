#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/graphics/ImageTranslator.h"

namespace nevrik::graphics {

/// Reads Truevision TGA pictures, plain or run-length: colour-mapped (types 1
/// and 9, 8-bit indices), true-colour (types 2 and 10, 8, 15, 16, 24 or 32
/// bits per pixel) and grey (types 3 and 11, 8 bits, or 16 with alpha, made
/// PIXEL_BGR8 or PIXEL_BGRA8 with equal colours).
///
/// Held by value in the graphics TranslatorRoster or used alone; keeps no
/// state between reads. One thread at a time.
class TranslatorTGA : public ImageTranslator {
public:
    static constexpr int kHeaderSize = 18;

    /// Rows come out top first whatever the file's origin; 15- and 16-bit
    /// pixels as PIXEL_RGB555. `size` bounds the plain pixel data, measured
    /// before anything is reserved (kSizeFromStream: all the stream has
    /// left). Throws TranslatorFormatException for another image type, pixel
    /// depth or colour-map entry size, pixel data that ends early or a
    /// picture above the memory limit, TranslatorMemoryException when memory
    /// runs out.
    object::Pointer<Image> read(io::InputStream& stream, std::uint32_t size) override;
    /// Writes `image` uncompressed, top row first: indexed images with a
    /// 24-bit colour map, colours as 24-bit, colours with alpha as 32-bit.
    /// Any format with a channel layout is taken, and DXT images decoded;
    /// false for other formats, sides above 65535, images without pixels or
    /// a stream that fails.
    bool write(io::OutputStream& stream, Image& image) override;
    /// Colour-map type 0 or 1 and image type up to 11: weak, so the roster
    /// asks it late.
    bool probe(io::File& file) override;

    NEVRIK_CLASS_NAME(io::Translator<Image>, ":TranslatorTGA")
};

}  // namespace nevrik::graphics
