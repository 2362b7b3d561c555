#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/io/Translator.h"

namespace nevrik::graphics {

/// Reads Windows bitmaps: 1, 4, 8, 15, 16, 24 and 32 bits per pixel
/// uncompressed (32 only as far as the header), 4- and 8-bit run-length
/// data, bottom-up and (uncompressed) top-down rows.
///
/// Held by value in the graphics TranslatorRoster or used alone; keeps no
/// state between reads. One thread at a time.
class TranslatorBMP : public io::Translator<Image> {
public:
    /// Decodes one bitmap. `size` counts the bytes from the file header to
    /// the end of the pixel data (kSizeFromStream: all the stream has left).
    /// Throws TranslatorFormatException for a layout it cannot read and
    /// TranslatorMemoryException when the result cannot be made.
    object::Pointer<Image> read(io::InputStream& stream, std::uint32_t size) override;
    /// Not supported: returns false.
    bool write(io::OutputStream& stream, Image& image) override;
    /// The file starts with "BM".
    bool probe(io::File& file) override;

    NEVRIK_CLASS_NAME(io::Translator<Image>, ":TranslatorBMP")
};

}  // namespace nevrik::graphics
