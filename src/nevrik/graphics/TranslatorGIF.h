#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/io/Translator.h"

namespace nevrik::graphics {

/// Reads GIF files through giflib, from the engine's streams, into one
/// PIXEL_INDEX8 picture of the logical screen: every frame is drawn over the
/// earlier ones; transparency and timing are ignored.
///
/// Keeps no state between reads. Held by value in the graphics
/// TranslatorRoster or used alone; one thread at a time.
class TranslatorGIF : public io::Translator<Image> {
public:
    /// Pixels no frame covers keep the screen's background index. The
    /// palette is the last frame's own colour map, else the global one, else
    /// a grey ramp. `size` is not used. Throws TranslatorFormatException for
    /// a frame outside the screen or anything giflib cannot decode,
    /// TranslatorMemoryException when the picture cannot be made, and what
    /// the stream throws.
    object::Pointer<Image> read(io::InputStream& stream, std::uint32_t size) override;
    /// Not supported: returns false.
    bool write(io::OutputStream& stream, Image& image) override;
    /// The file starts with "GIF8".
    bool probe(io::File& file) override;

    NEVRIK_CLASS_NAME(io::Translator<Image>, ":TranslatorGIF")
};

}  // namespace nevrik::graphics
