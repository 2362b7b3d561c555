#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/graphics/ImageTranslator.h"

namespace nevrik::graphics {

/// Reads run-length PCX pictures: one 1-bit plane (black and white
/// PIXEL_INDEX8), one 8-bit plane with the 256-colour palette at the end of
/// the file (PIXEL_INDEX8), or three 8-bit planes (PIXEL_RGB8).
///
/// Held by value in the graphics TranslatorRoster or used alone; keeps no
/// state between reads. One thread at a time.
class TranslatorPCX : public ImageTranslator {
public:
    static constexpr int kHeaderSize = 128;
    static constexpr int kPaletteSize = 768;

    /// `size` counts the bytes of the whole file, the last 768 of which are
    /// the palette in a 256-colour file (kSizeFromStream: all the stream has
    /// left). Each line holds every plane in turn, `bytes per line` (header
    /// offset 66) each; padding past the width is dropped. Throws
    /// TranslatorFormatException for a short or foreign header, any other
    /// bits and planes, bytes per line too few for the width, a size outside
    /// 0 ... 16384, pixel data that ends before the last line or a picture
    /// above the memory limit; TranslatorMemoryException when memory runs out.
    object::Pointer<Image> read(io::InputStream& stream, std::uint32_t size) override;
    /// Not supported: returns false.
    bool write(io::OutputStream& stream, Image& image) override;
    /// A 128-byte header with manufacturer 10, version up to 5, encoding 1 and
    /// 1, 2, 4 or 8 bits per pixel.
    bool probe(io::File& file) override;

    NEVRIK_CLASS_NAME(io::Translator<Image>, ":TranslatorPCX")
};

}  // namespace nevrik::graphics
