#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/graphics/ImageTranslator.h"

namespace nevrik::graphics {

/// Recognises TIFF files without decoding them, so that they are known for
/// what they are rather than mistaken for another format.
///
/// Keeps no state. Held by value in the graphics TranslatorRoster (after the
/// HDR reader, which claims every file first) or used alone; one thread at a
/// time.
class TranslatorTIFF : public ImageTranslator {
public:
    /// Decodes nothing: returns null.
    object::Pointer<Image> read(io::InputStream& stream, std::uint32_t size) override;
    /// Not supported: returns false.
    bool write(io::OutputStream& stream, Image& image) override;
    /// "II*\0" (little-endian) or "MM\0*" (big-endian).
    bool probe(io::File& file) override;

    NEVRIK_CLASS_NAME(io::Translator<Image>, ":TranslatorTIFF")
};

}  // namespace nevrik::graphics
