#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/io/Translator.h"

namespace nevrik::graphics {

/// Reads run-length PCX pictures of one 8-bit plane, with the 256-colour
/// palette at the end of the file.
///
/// Held by value in the graphics TranslatorRoster or used alone; keeps no
/// state between reads. One thread at a time.
class TranslatorPCX : public io::Translator<Image> {
public:
    static constexpr int kHeaderSize = 128;
    static constexpr int kPaletteSize = 768;

    /// A PIXEL_INDEX8 picture. `size` counts the bytes of the whole file, the
    /// last 768 of which are the palette (kSizeFromStream: all the stream
    /// has left). Lines are `bytes per line` long (header offset 66) when that
    /// exceeds the width in a one-plane file; the padding is dropped. Throws
    /// TranslatorFormatException for a short or foreign header or a size
    /// outside 0 ... 16384, TranslatorMemoryException when the picture cannot
    /// be made.
    object::Pointer<Image> read(io::InputStream& stream, std::uint32_t size) override;
    /// Not supported: returns false.
    bool write(io::OutputStream& stream, Image& image) override;
    /// A 128-byte header with manufacturer 10, version up to 5, encoding 1 and
    /// 1, 2, 4 or 8 bits per pixel.
    bool probe(io::File& file) override;

    NEVRIK_CLASS_NAME(io::Translator<Image>, ":TranslatorPCX")
};

}  // namespace nevrik::graphics
