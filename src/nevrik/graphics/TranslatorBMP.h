#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/graphics/ImageTranslator.h"

namespace nevrik::graphics {

/// Reads Windows bitmaps: 1, 4, 8, 15, 16, 24 and 32 bits per pixel
/// uncompressed, 16 and 32 bits with bit fields (any masks of one run of bits
/// each, see formatForMasks), 4- and 8-bit run-length data, bottom-up and
/// (but for run-length data) top-down rows. 16-bit pixels without bit
/// fields are X1R5G5B5 and become PIXEL_RGB555; 32-bit ones are X8R8G8B8 and
/// become opaque PIXEL_BGRA8.
///
/// Held by value in the graphics TranslatorRoster or used alone; keeps no
/// state between reads. One thread at a time.
class TranslatorBMP : public ImageTranslator {
public:
    /// Decodes one bitmap. `size` counts the bytes from the file header to
    /// the end of the pixel data (kSizeFromStream: all the stream has left).
    /// Throws TranslatorFormatException for a layout it cannot read, pixel
    /// data shorter than the picture (uncompressed data is measured against
    /// `size` before anything is reserved; run-length data must reach its
    /// end code or last row) or a picture above the memory limit, and
    /// TranslatorMemoryException when the result cannot be made.
    object::Pointer<Image> read(io::InputStream& stream, std::uint32_t size) override;
    /// Writes `image` uncompressed: indexed images as 8 bits with their
    /// palette, colours as 24-bit, colours with alpha as 32-bit bit fields
    /// (version 4 header). Any format with a channel layout is taken, and
    /// DXT images decoded; false for other formats, images without pixels,
    /// files beyond 4 GiB or a stream that fails.
    bool write(io::OutputStream& stream, Image& image) override;
    /// The file starts with "BM".
    bool probe(io::File& file) override;

    NEVRIK_CLASS_NAME(io::Translator<Image>, ":TranslatorBMP")
};

}  // namespace nevrik::graphics
