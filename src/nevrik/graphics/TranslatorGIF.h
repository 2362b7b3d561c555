#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/graphics/ImageTranslator.h"

namespace nevrik::graphics {

/// Reads GIF files through giflib, from the engine's streams, into one
/// PIXEL_INDEX8 picture of the logical screen: every frame is drawn over the
/// earlier ones; transparency and timing are ignored.
///
/// Keeps no state between reads. Held by value in the graphics
/// TranslatorRoster or used alone; one thread at a time.
class TranslatorGIF : public ImageTranslator {
public:
    /// Pixels no frame covers keep the screen's background index. The
    /// palette is the last frame's own colour map, else the global one, else
    /// a grey ramp. `size` is not used. The screen is reserved as far as
    /// frames reach while they decode, whole only once the file has ended
    /// well. Throws TranslatorFormatException for a frame outside the screen,
    /// anything giflib cannot decode (a file that ends early among it) or a
    /// screen above the memory limit, TranslatorMemoryException when memory
    /// runs out, and what the stream throws.
    object::Pointer<Image> read(io::InputStream& stream, std::uint32_t size) override;
    /// Not supported: returns false.
    bool write(io::OutputStream& stream, Image& image) override;
    /// The file starts with "GIF8".
    bool probe(io::File& file) override;

    NEVRIK_CLASS_NAME(io::Translator<Image>, ":TranslatorGIF")
};

}  // namespace nevrik::graphics
