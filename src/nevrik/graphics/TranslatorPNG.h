#pragma once

#include "nevrik/graphics/Image.h"
#include "nevrik/graphics/ImageTranslator.h"

#include <exception>

namespace nevrik::graphics::detail {
struct WritablePixels;
}

namespace nevrik::graphics {

/// Reads PNG files through libpng, from the engine's streams. 16-bit samples
/// become 8-bit, smaller ones one byte each (grey scaled up to 0-255),
/// transparency becomes an alpha channel, a background colour is composited
/// under it and a file gamma is corrected for a 2.2 screen.
///
/// libpng's read and info structures exist only during a read: a fresh pair
/// for every file, since libpng cannot reuse one after an image or an error.
/// Held by value in the graphics TranslatorRoster or used alone; one read at
/// a time, on one thread at a time.
class TranslatorPNG : public ImageTranslator {
public:
    TranslatorPNG() noexcept = default;
    TranslatorPNG(const TranslatorPNG&) = delete;
    TranslatorPNG& operator=(const TranslatorPNG&) = delete;

    /// PIXEL_A8 for grey, PIXEL_LA8 for grey with alpha, PIXEL_RGB8,
    /// PIXEL_RGBA8, or PIXEL_INDEX8 with the file's palette. Rows are
    /// reserved as they arrive; an interlaced picture, needed whole at once,
    /// must be one that `size` bytes (kSizeFromStream: what the stream has
    /// left) could inflate to. Throws TranslatorFormatException for anything
    /// libpng cannot decode (after it has printed its message), a file that
    /// ends before its end chunk or a picture above the memory limit,
    /// TranslatorMemoryException when memory runs out, and what the stream
    /// throws.
    object::Pointer<Image> read(io::InputStream& stream, std::uint32_t size) override;
    /// Writes `image` through libpng: indexed images as a palette PNG,
    /// colours as 8-bit RGB, colours with alpha as RGBA. Any format with a
    /// channel layout is taken, and DXT images decoded; false for other
    /// formats, images without pixels, anything libpng refuses or a stream
    /// that fails.
    bool write(io::OutputStream& stream, Image& image) override;
    /// The 8-byte PNG signature.
    bool probe(io::File& file) override;

    NEVRIK_CLASS_NAME(io::Translator<Image>, ":TranslatorPNG")

    /// libpng's structures and the read or write in progress; opaque
    /// outside the translator.
    struct Decoder;
    struct Encoder;

private:
    bool decode(Decoder& decoder);
    bool encode(Encoder& encoder, detail::WritablePixels& source);
};

}  // namespace nevrik::graphics
